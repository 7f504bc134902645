#include "stagecontrol.h"

#include "appsetting.h"
#include "controllerlink.h"
#include "setlistmark.h"
#include "setlistplayer.h"
#include "setlistwindow.h"
#include "stageview.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QDockWidget>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>

StageControl::StageControl(QMainWindow *window, AppSetting *setting, HardwareLink *link,
                           ControllerLink *pads, const QList<QPushButton *> &presetButtons,
                           QWidget *settingsDialog)
    : QObject(window), window(window), presetButtons(presetButtons),
      setlistPlayer(new SetlistPlayer(link, setting, this)), dock(new QDockWidget(window)),
      view(new StageView(setlistPlayer, presetButtons.value(0), dock)),
      mark(new SetlistMark(window))
{
    // Above the buttons without touching the window's own arrangements.
    dock->setObjectName("dockStage");
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    dock->setTitleBarWidget(new QWidget(dock));
    dock->setWidget(view);
    // One row beside a row of buttons, and in any window wide enough, where
    // the height is better left to the buttons.
    view->setRowWanted([setting, window] {
        return setting->dispType() == 1 || window->width() * 5 >= window->height() * 6;
    });
    window->addDockWidget(Qt::TopDockWidgetArea, dock);

    connect(setlistPlayer, &SetlistPlayer::changed, this, &StageControl::showPlace);
    connect(pads, &ControllerLink::setlistStep, setlistPlayer, &SetlistPlayer::act);
    connect(pads, &ControllerLink::songSelected, setlistPlayer, &SetlistPlayer::songSelect);

    auto *action = new QAction(tr("&Setlist"), window);
    action->setObjectName("actionSetlist");
    action->setShortcut(Qt::Key_F2);
    connect(action, &QAction::triggered, this, &StageControl::showSetlistWindow);
    window->menuBar()->addAction(action);
    addSettingsButton(settingsDialog);

    // Installed after the window's keys, so Page Down and Page Up reach here first.
    qApp->installEventFilter(this);
    setlistPlayer->restore();
    showPlace();
}

void StageControl::addSettingsButton(QWidget *settingsDialog)
{
    // Beside the remote controller's button: in its layout where it has one,
    // else just below it.
    auto *beside = settingsDialog->findChild<QPushButton *>("pushRemoteBindings");
    if (!beside)
        return;
    auto *button = new QPushButton(tr("Setlist…"), beside->parentWidget());
    button->setObjectName("pushSetlist");
    button->setFont(beside->font());
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, &StageControl::showSetlistWindow);
    QWidget::setTabOrder(beside, button);
    // Beside "Remote controller…": the two share its cell of the form.
    for (auto *grid : beside->parentWidget()->findChildren<QGridLayout *>()) {
        const int at = grid->indexOf(beside);
        if (at < 0)
            continue;
        int row, column, rows, columns;
        grid->getItemPosition(at, &row, &column, &rows, &columns);
        grid->removeWidget(beside);
        auto *pair = new QHBoxLayout;
        pair->addWidget(beside);
        pair->addWidget(button);
        grid->addLayout(pair, row, column, rows, columns);
        return;
    }
    for (auto *box : beside->parentWidget()->findChildren<QBoxLayout *>()) {
        const int at = box->indexOf(beside);
        if (at >= 0) {
            box->insertWidget(at + 1, button);
            return;
        }
    }
}

void StageControl::showSetlistWindow()
{
    if (!editor) {
        editor = new SetlistWindow(window);
        connect(editor, &SetlistWindow::setlistWritten, setlistPlayer, &SetlistPlayer::take);
        connect(editor, &SetlistWindow::jumpRequested, setlistPlayer, &SetlistPlayer::jumpToSong);
    }
    editor->setSetlist(setlistPlayer->setlist(), setlistPlayer->path());
    editor->showSong(setlistPlayer->position().song);
    editor->exec();
}

void StageControl::showPlace()
{
    const bool loaded = setlistPlayer->isLoaded();
    dock->setVisible(loaded || !setlistPlayer->problem().isEmpty());
    const int preset = loaded ? setlistPlayer->setlist().presetAt(setlistPlayer->position()) : 0;
    mark->markButton(presetButtons.value(preset - 1, nullptr));
}

bool StageControl::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType() || !setlistPlayer->isLoaded())
        return false;
    // As the window's own keys: its window only, not its menu bar or a modal one.
    auto *receiver = static_cast<QWidget *>(watched);
    if (receiver->window() != window || qobject_cast<QMenuBar *>(receiver) ||
        QApplication::activeModalWidget())
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    // The keypad's Page keys are its digits 3 and 9 to the window's keys.
    if (key->modifiers() & ~Qt::ShiftModifier ||
        (key->key() != Qt::Key_PageDown && key->key() != Qt::Key_PageUp))
        return false;
    // One press, one step, as a pedal.
    if (!key->isAutoRepeat())
        setlistPlayer->act(key->key() == Qt::Key_PageDown ? RemoteAction::NextPart
                                                          : RemoteAction::PreviousPart);
    return true;
}
