#ifndef WINDOWKEYS_H
#define WINDOWKEYS_H

#include <QObject>

class HardwareLink;
class QKeyEvent;
class QWidget;
class WindowFit;

// The main window's keys for the stage, where hands are busy and pedals that
// act as keyboards (page turners) press keys: 1 to 6 choose presets (on the
// keypad too, whatever NumLock says), Page Down/Right/Down and Page
// Up/Left/Up step through them, F11 toggles full screen, Escape leaves it,
// Return clicks the focused button. Sees the application's key presses and
// acts on those of its own window only, so it works wherever the focus is
// there. GUI thread.
class WindowKeys : public QObject
{
    Q_OBJECT
public:
    WindowKeys(QWidget *window, HardwareLink *link, WindowFit *fit);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool handleKey(const QKeyEvent &key, QWidget *receiver);
    void setFullScreen(bool on);
    void choosePreset(int index);

    QWidget *window;
    HardwareLink *link;
    WindowFit *fit;
};

#endif
