#include "stagelayout.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QWidget>

namespace {

// Below this a caption is no longer read from a few steps away; a window
// that small is left to the screen.
const int SmallestPointSize = 6;

} // namespace

StageLayout::StageLayout(QWidget *central, const Widgets &widgets)
    : central(central), widgets(widgets)
{
}

QRect StageLayout::install(int type, const QPoint &place)
{
    applied = type;

    // Deleting the layouts leaves their widgets with the central widget.
    delete statusLayout;
    statusLayout = nullptr;
    delete mainLayout;
    mainLayout = nullptr;
    statusLayout = new QGridLayout;

    widgets.hardLamp->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    widgets.remoteLamp->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    QRect geometry;
    if (type == Horizontal || type == Vertical) {
        statusLayout->setHorizontalSpacing(5);
        statusLayout->setVerticalSpacing(10);
        statusLayout->addWidget(widgets.message, 0, 0, 1, type == Horizontal ? 4 : 2);
        statusLayout->addWidget(widgets.hardLamp, 1, 0);
        statusLayout->addWidget(widgets.hardCaption, 1, 1);
        statusLayout->addWidget(widgets.remoteLamp, 2, 0);
        statusLayout->addWidget(widgets.remoteCaption, 2, 1);

        QBoxLayout *box = type == Horizontal ? static_cast<QBoxLayout *>(new QHBoxLayout)
                                             : static_cast<QBoxLayout *>(new QVBoxLayout);
        box->addLayout(statusLayout, 0);
        for (QPushButton *button : widgets.presetButtons)
            box->addWidget(button, 0);
        box->addWidget(widgets.setting, 0);
        mainLayout = box;
        geometry = type == Horizontal ? QRect(100, 100, 1500, 140) : QRect(100, 100, 300, 800);
    } else {
        // Any other value gets the grid too: an empty window would lock the
        // user out of the settings.
        statusLayout->setHorizontalSpacing(30);
        statusLayout->setVerticalSpacing(10);
        statusLayout->addWidget(widgets.message, 0, 0, 1, 4);
        statusLayout->addWidget(widgets.hardLamp, 1, 0);
        statusLayout->addWidget(widgets.hardCaption, 1, 1);
        statusLayout->addWidget(widgets.remoteLamp, 1, 2);
        statusLayout->addWidget(widgets.remoteCaption, 1, 3);

        auto *grid = new QGridLayout;
        grid->setHorizontalSpacing(30);
        grid->setVerticalSpacing(30);
        grid->addLayout(statusLayout, 0, 0, 1, 4, Qt::AlignLeft);
        for (int i = 0; i < 4; ++i)
            grid->addWidget(widgets.presetButtons[i], 1, i);
        grid->addWidget(widgets.presetButtons[4], 2, 0);
        grid->addWidget(widgets.presetButtons[5], 2, 1);
        grid->addWidget(widgets.setting, 2, 3);
        mainLayout = grid;
        geometry = QRect(place, QSize(1100, 400));
    }
    central->setLayout(mainLayout);
    return geometry;
}

int StageLayout::installed() const
{
    // The record may hold a value not yet applied (OPEN then CANCEL), or one
    // that installs the grid.
    return applied == Horizontal || applied == Vertical ? applied : Grid;
}

void StageLayout::setFonts(int pointSize)
{
    const int type = installed();
    const double factor = type == Horizontal ? 0.8 : type == Vertical ? 0.7 : 0.9;
    // Qt rejects sizes below 1; a stored size of 1 or less must still give a font.
    QFont primary;
    primary.setPointSize(qMax(1, pointSize));
    primary.setWeight(QFont::Bold);
    QFont secondary;
    secondary.setPointSize(qMax(1, static_cast<int>(pointSize * factor)));
    secondary.setWeight(QFont::Bold);

    widgets.remoteLamp->setFont(primary);
    widgets.remoteCaption->setFont(secondary);
    widgets.hardLamp->setFont(primary);
    widgets.hardCaption->setFont(secondary);
    widgets.message->setFont(secondary);
    for (QPushButton *button : widgets.presetButtons)
        button->setFont(primary);
    widgets.setting->setFont(primary);
}

int StageLayout::pointSizeFor(int dispType, int width, int height)
{
    // Heights and widths fall into 100-pixel bands; each table lists a band's size.
    switch (dispType) {
    case Grid:
        if (width <= 799) {
            static const int sizes[] = {11, 13, 14, 16, 18};
            return sizes[qBound(0, height < 200 ? 0 : height / 100 - 1, 4)];
        }
        if (width <= 1199) {
            static const int sizes[] = {13, 15, 18, 21, 25, 30};
            return sizes[qBound(0, height < 300 ? 0 : height / 100 - 2, 5)];
        } else {
            static const int sizes[] = {14, 16, 19, 22, 26, 31, 36, 41};
            return sizes[qBound(0, height < 300 ? 0 : height / 100 - 2, 7)];
        }
    case Horizontal:
        return width <= 1099   ? 11
               : width <= 1299 ? 12
               : width <= 1399 ? 13
               : width <= 1499 ? 15
               : width <= 1599 ? 17
               : width <= 1699 ? 19
               : width <= 1799 ? 21
                               : 23;
    case Vertical:
        return height <= 499 ? 14 : height <= 699 ? 16 : 18;
    default:
        return 0;
    }
}

void StageLayout::fitFonts(QWidget *window, const QSize &size)
{
    int pointSize = pointSizeFor(installed(), size.width(), size.height());
    // A new minimum may resize the window at once, whose resize event would
    // fit the fonts anew in the middle of this.
    if (pointSize <= 0 || fitting)
        return;
    const QScopedValueRollback<bool> busy(fitting, true);
    setFonts(pointSize);
    if (!mainLayout)
        return;
    // The layout's minimum follows the fonts; a window held larger than its
    // screen would hide buttons.
    const auto tooLarge = [&] {
        // Layouts keep their old minimum until told, each of them.
        statusLayout->invalidate();
        mainLayout->invalidate();
        central->updateGeometry();
        if (window->layout())
            window->layout()->invalidate();
        const QSize least = window->minimumSizeHint();
        return least.width() > size.width() || least.height() > size.height();
    };
    while (pointSize > SmallestPointSize && tooLarge())
        setFonts(--pointSize);
}

int StageLayout::fontPointSize() const
{
    return widgets.hardCaption->font().pointSize();
}
