#include "setlistmark.h"

#include <QEvent>
#include <QPainter>

SetlistMark::SetlistMark(QWidget *parent) : QWidget(parent)
{
    setObjectName("setlistMark");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    hide();
}

void SetlistMark::markButton(QWidget *button)
{
    if (marked)
        marked->removeEventFilter(this);
    marked = button;
    if (!button) {
        hide();
        return;
    }
    setParent(button);
    button->installEventFilter(this);
    setGeometry(button->rect());
    show();
    raise();
}

bool SetlistMark::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == marked && event->type() == QEvent::Resize)
        setGeometry(marked->rect());
    return false;
}

void SetlistMark::paintEvent(QPaintEvent *)
{
    // Thick enough to be seen from the back of a stage, inside the button's corners.
    const int width = qBound(4, qMin(this->width(), height()) / 14, 12);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(color), width));
    painter.drawRoundedRect(
        QRectF(rect()).adjusted(width / 2.0, width / 2.0, -width / 2.0, -width / 2.0), 10, 10);
}
