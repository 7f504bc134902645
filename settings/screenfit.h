#ifndef SCREENFIT_H
#define SCREENFIT_H

#include <QMargins>
#include <QRect>

class QWidget;

// Keeps top-level windows inside the part of their screen that windows may
// use (the screen minus panels): a laptop at 150 % leaves little room, and a
// place saved on a bigger screen may lie beyond this one. Stateless; GUI
// thread.
class ScreenFit
{
public:
    // The usable area of the screen that holds most of rect (the primary
    // screen when none does).
    static QRect availableFor(const QRect &rect);
    // The window manager's frame around a window: its own once known, else
    // that of another window already framed, else none.
    static QMargins frameOf(const QWidget *window);
    // A client area inside available with its frame: its size where that
    // fits, shrunk where not, moved in as little as possible.
    static QRect fitted(const QRect &client, const QRect &available, const QMargins &frame);
    // True when the window's frame lies inside its screen's usable area.
    static bool fits(const QWidget *window);
    // Sizes a dialog about to be shown to its wish and centres it on its
    // parent, within the parent's screen; its layout must let it shrink (a
    // scroll area).
    static void fitDialog(QWidget *dialog);
};

#endif
