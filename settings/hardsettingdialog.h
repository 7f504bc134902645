#ifndef HARDSETTINGDIALOG_H
#define HARDSETTINGDIALOG_H

#include <QDialog>

class AppSetting;
class QMidiIn;
class QMidiOut;
class TarnAppMainWindow;

namespace Ui {
class HardSettingDialog;
}

// The modal settings window: picks the four ports, names the presets, chooses
// the foot-switch preset and the arrangement, reconnects the unit, and opens
// and saves setting files. Edits the main window's record in place. GUI thread.
class HardSettingDialog : public QDialog
{
    Q_OBJECT
public:
    HardSettingDialog(AppSetting *setting, QMidiIn *hardIn, QMidiOut *hardOut, QMidiIn *remoteIn,
                      QMidiOut *remoteOut, TarnAppMainWindow *mainWindow);
    ~HardSettingDialog() override;

    // Fills every field from the record, as each showing does.
    void showRecord();
    // Fills the port lists from the ports present now, each showing its
    // stored port, or with keepChoices the port chosen in it so far.
    void refreshPortLists(bool keepChoices = false);
    void showPresetNames();
    void showSerialNumber();
    void collectSettings();
    void applyPorts(bool force);
    // True while applyPorts runs, its error box included: the ports are the
    // dialog's until portsApplied.
    bool isApplying() const { return applying; }
    int footSwitchPreset() const;

signals:
    void portsApplied();

private slots:
    void on_pushOK_clicked();
    void on_pushCancel_clicked();
    void on_pushGetSerial_clicked();
    void on_pushOpen_clicked();
    void on_pushSaveAs_clicked();

private:
    void showDispType(int dispType);

    Ui::HardSettingDialog *ui;
    TarnAppMainWindow *mainWindow;
    AppSetting *appSetting;
    QMidiIn *midiHardIn;
    QMidiOut *midiHardOut;
    QMidiIn *midiRemoteIn;
    QMidiOut *midiRemoteOut;
    bool applying = false;
};

#endif
