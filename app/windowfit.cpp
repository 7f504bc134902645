#include "windowfit.h"

#include "screenfit.h"
#include "stagelayout.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QWindow>

WindowFit::WindowFit(QMainWindow *window, StageLayout *stage)
    : QObject(window), window(window), stage(stage)
{
    // The fonts follow the window (down to a size where it holds them), not
    // the window the fonts: a minimum from the fonts of a passing size would
    // keep the window larger than its screen.
    window->layout()->setSizeConstraint(QLayout::SetNoConstraint);
    window->installEventFilter(this);
}

void WindowFit::place(const QRect &wanted)
{
    // A full-screen window has no frame; it gets back the one it had.
    const QMargins frame = window->isFullScreen() ? normalFrame : ScreenFit::frameOf(window);
    const QRect rect = ScreenFit::fitted(wanted, ScreenFit::availableFor(wanted), frame);
    if (window->isFullScreen()) {
        // Moving a full-screen window would take it out of full screen behind
        // Qt's back; it keeps the screen's fonts and gets the place on leaving.
        normal = rect;
        fitFonts(window->size());
        return;
    }
    apply(rect);
}

void WindowFit::apply(const QRect &rect)
{
    // The fonts first: the window cannot be made smaller than they need.
    fitFonts(rect.size());
    if (window->layout())
        window->layout()->activate();
    normal = rect;
    window->setGeometry(rect);
    checkFrame = !framed();
}

bool WindowFit::framed() const
{
    // A window manager on X frames windows some time after they are shown;
    // elsewhere the frame is there once they are.
    const QWindow *handle = window->windowHandle();
    return window->isVisible() && handle &&
           (!handle->frameMargins().isNull() || QGuiApplication::platformName() != "xcb");
}

void WindowFit::setFullScreen(bool on)
{
    if (on == window->isFullScreen())
        return;
    if (on) {
        normal = window->geometry();
        normalFrame = ScreenFit::frameOf(window);
        window->setWindowState(window->windowState() | Qt::WindowFullScreen);
        return;
    }
    window->setWindowState(window->windowState() & ~Qt::WindowFullScreen);
    apply(normal);
    leaving = true;
}

void WindowFit::fitFonts(const QSize &size)
{
    stage->fitFonts(window, size);
}

QRect WindowFit::normalGeometry() const
{
    return window->isFullScreen() ? normal : window->geometry();
}

bool WindowFit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != window || window->isFullScreen())
        return false;
    const QEvent::Type type = event->type();
    // A window manager frames the window between its showing and its first
    // painting, without moving it.
    if (type != QEvent::Move && type != QEvent::Resize && type != QEvent::Show &&
        type != QEvent::Paint)
        return false;
    if (leaving && window->geometry() != normal) {
        // The window manager's own idea of the place before full screen came
        // after ours.
        leaving = false;
        window->setGeometry(normal);
        return false;
    }
    leaving = false;
    if (!checkFrame || !window->isVisible())
        return false;
    const bool waiting = !framed();
    checkFrame = waiting;
    if (ScreenFit::fits(window))
        return false;
    const QRect rect =
        ScreenFit::fitted(window->geometry(), ScreenFit::availableFor(window->frameGeometry()),
                          ScreenFit::frameOf(window));
    if (rect != window->geometry())
        apply(rect);
    checkFrame = waiting;
    return false;
}
