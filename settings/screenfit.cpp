#include "screenfit.h"

#include <QApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QWidget>
#include <QWindow>

QRect ScreenFit::availableFor(const QRect &rect)
{
    QScreen *best = nullptr;
    int bestArea = 0;
    for (QScreen *screen : QGuiApplication::screens()) {
        const QRect common = screen->geometry().intersected(rect);
        const int area = common.isEmpty() ? 0 : common.width() * common.height();
        if (area > bestArea)
            best = screen, bestArea = area;
    }
    if (!best)
        best = QGuiApplication::primaryScreen();
    return best ? best->availableGeometry() : QRect(0, 0, 1280, 720);
}

QMargins ScreenFit::frameOf(const QWidget *window)
{
    const auto frame = [](const QWidget *widget) {
        const QWindow *handle = widget->windowHandle();
        if (!handle || !widget->isVisible() || handle->frameMargins().isNull())
            return QMargins();
        // At 150 % a frame's device pixels fall between two logical ones:
        // counted whole, the frame cannot stick out by one.
        const qreal ratio = handle->devicePixelRatio();
        const int round = ratio == qRound(ratio) ? 0 : 1;
        return handle->frameMargins() + QMargins(round, round, round, round);
    };
    QMargins own = frame(window);
    if (!own.isNull())
        return own;
    // Not shown yet: the window manager frames it as it frames the others.
    for (const QWidget *other : QApplication::topLevelWidgets()) {
        if (other != window && !frame(other).isNull())
            return frame(other);
    }
    return own;
}

QRect ScreenFit::fitted(const QRect &client, const QRect &available, const QMargins &frame)
{
    const QRect room = available.marginsRemoved(frame);
    QRect rect(client.topLeft(), client.size().boundedTo(room.size()));
    // Moved in from the right and bottom first: the top-left corner (the
    // title bar, the menu) must be the part that stays on screen.
    rect.moveLeft(qMax(room.left(), qMin(rect.left(), room.right() - rect.width() + 1)));
    rect.moveTop(qMax(room.top(), qMin(rect.top(), room.bottom() - rect.height() + 1)));
    return rect;
}

bool ScreenFit::fits(const QWidget *window)
{
    const QRect frame = window->geometry().marginsAdded(frameOf(window));
    return availableFor(frame).contains(frame);
}

void ScreenFit::fitDialog(QWidget *dialog)
{
    const QWidget *anchor = dialog->parentWidget() ? dialog->parentWidget()->window() : dialog;
    const QRect over = anchor->frameGeometry();
    const QRect available = availableFor(over);
    const QMargins frame = frameOf(dialog);
    const QSize room = available.marginsRemoved(frame).size();
    // A scroll area wishes for at most 36 by 24 lines; here it may have
    // what its contents wish for, as far as the screen allows.
    QSize wish = dialog->sizeHint();
    for (const QScrollArea *scroll : dialog->findChildren<QScrollArea *>()) {
        if (scroll->widget() && scroll->window() == dialog) {
            const int frameWidth = 2 * scroll->frameWidth();
            // Room for a scroll bar, should the screen be too low.
            const QSize whole = scroll->widget()->sizeHint() + QSize(frameWidth, frameWidth) +
                                QSize(scroll->verticalScrollBar()->sizeHint().width(), 0);
            wish += (whole - scroll->sizeHint()).expandedTo(QSize(0, 0));
        }
    }
    QRect rect(QPoint(), wish.expandedTo(dialog->minimumSizeHint()).boundedTo(room));
    // Centred on its parent, as Qt would place it, but wholly on screen.
    rect.moveCenter(over.center());
    dialog->setGeometry(fitted(rect, available, frame));
}
