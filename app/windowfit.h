#ifndef WINDOWFIT_H
#define WINDOWFIT_H

#include <QMargins>
#include <QObject>
#include <QRect>

class QMainWindow;
class StageLayout;

// Where the main window goes: every geometry it is given (first start, a
// saved one, an arrangement's) is brought inside the usable part of its
// screen, with fonts that let it be that small; and full screen, which
// returns to the very geometry it left. The window manager's frame is known
// only once the window is shown, so the window is checked again then. GUI
// thread.
class WindowFit : public QObject
{
    Q_OBJECT
public:
    WindowFit(QMainWindow *window, StageLayout *stage);

    // Gives the window this client area, fitted; in full screen it is kept
    // for leaving full screen.
    void place(const QRect &wanted);
    void setFullScreen(bool on);
    // The window's geometry outside full screen: what the state file keeps.
    QRect normalGeometry() const;
    // The fonts of the installed arrangement for a window of that size.
    void fitFonts(const QSize &size);
    QMainWindow *mainWindow() const { return window; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void apply(const QRect &rect);
    // True once the window's frame, if any, is known.
    bool framed() const;

    QMainWindow *window;
    StageLayout *stage;
    QRect normal;
    QMargins normalFrame;
    // Placed but not yet seen with its frame.
    bool checkFrame = false;
    // Left full screen, until the window manager has given the place back.
    bool leaving = false;
};

#endif
