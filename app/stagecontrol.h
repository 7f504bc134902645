#ifndef STAGECONTROL_H
#define STAGECONTROL_H

#include <QList>
#include <QObject>

class AppSetting;
class HardwareLink;
class QDockWidget;
class QMainWindow;
class QPushButton;
class SetlistMark;
class SetlistPlayer;
class SetlistWindow;
class ControllerLink;
class StageView;

// The main window's setlist: restores it at start, shows it above the buttons,
// marks the button of its current part, steps it on Page Down and Page Up and
// on the remote controller's setlist actions and Song Select, and opens the
// setlist window (F2, the menu bar, the settings dialog) and acts on what it
// tells. GUI thread.
class StageControl : public QObject
{
    Q_OBJECT
public:
    StageControl(QMainWindow *window, AppSetting *setting, HardwareLink *link, ControllerLink *pads,
                 const QList<QPushButton *> &presetButtons, QWidget *settingsDialog);

    SetlistPlayer &player() const { return *setlistPlayer; }
    // Modal, over the settings dialog too, starting from the setlist on stage.
    void showSetlistWindow();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showPlace();
    void addSettingsButton(QWidget *settingsDialog);

    QMainWindow *window;
    QList<QPushButton *> presetButtons;
    SetlistPlayer *setlistPlayer;
    QDockWidget *dock;
    StageView *view;
    SetlistMark *mark;
    SetlistWindow *editor = nullptr;
};

#endif
