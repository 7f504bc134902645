#ifndef STAGELAYOUT_H
#define STAGELAYOUT_H

#include "stagewidgets.h"

#include <QList>
#include <QRect>

class QGridLayout;
class QLabel;
class QLayout;
class QPushButton;
class QSize;
class QWidget;

// The main window's arrangements (grid, row, column) of the preset buttons,
// the settings button and the status lines, and the fonts that follow the
// window's size. Other parts of the window (a view above the buttons) are
// added here. GUI thread.
class StageLayout
{
public:
    enum DispType
    {
        Grid = 0,
        Horizontal = 1,
        Vertical = 2
    };

    using Widgets = StageWidgets;

    StageLayout(QWidget *central, const Widgets &widgets);

    bool isInstalled(int dispType) const { return mainLayout && dispType == applied; }
    // Installs the arrangement of a display type (any other value gets the
    // grid) and returns its default window geometry; the grid keeps the
    // window's place.
    QRect install(int dispType, const QPoint &place);
    // The arrangement installed: the grid for a value that installs it.
    int installed() const;

    void setFonts(int pointSize);
    static int pointSizeFor(int dispType, int width, int height);
    // The table's fonts for a window of that size, or smaller ones where the
    // window could not hold the arrangement in them (a small screen).
    void fitFonts(QWidget *window, const QSize &size);
    int fontPointSize() const;

private:
    QWidget *central;
    Widgets widgets;
    QLayout *mainLayout = nullptr;
    QGridLayout *statusLayout = nullptr;
    int applied = -1;
    bool fitting = false;
};

#endif
