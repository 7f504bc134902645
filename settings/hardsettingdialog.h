#ifndef HARDSETTINGDIALOG_H
#define HARDSETTINGDIALOG_H

#include "appsetting.h"
#include "hardmessages.h"
#include "portchoice.h"
#include "portpair.h"
#include "remotebindings.h"

#include <QDialog>

class HardwareLink;
class QComboBox;
class RemoteBindingsDialog;
class UnitCheckPanel;

namespace Ui {
class HardSettingDialog;
}

// The modal settings window: picks the four ports, names the presets, chooses
// the foot-switch preset and the arrangement, binds the remote controller,
// asks for the unit to be reconnected, and opens and saves setting files.
// Edits a copy of the main window's record and tells what the user asked for
// by signals; the record's owner takes it, and PortChoice opens the ports.
// GUI thread.
class HardSettingDialog : public QDialog
{
    Q_OBJECT
public:
    HardSettingDialog(AppSetting *setting, HardwareLink *link, PortPair *remotePorts,
                      QWidget *parent);
    ~HardSettingDialog() override;

    // Fills every field from the record, as each showing does.
    void showRecord();
    // Fills the port lists from the ports present now, each showing its
    // stored port, or with keepChoices the port chosen in it so far.
    void refreshPortLists(bool keepChoices = false);
    void showPresetNames();
    void showSerialNumber();
    void collectSettings();
    // Tells the lists' ports (portsChosen); force reopens those open already.
    void applyPorts(bool force);
    // The foot-switch list as it stands, saved or not; negative for none.
    int footSwitchPreset() const;

public slots:
    // A remote message while the bindings window learns.
    void offerRemoteMessage(const ByteVector &message);
    // A chosen port could not be opened.
    void showConnectError(const QString &text);

signals:
    // OK, before settingsChanged: the fields as edited, for the record and its file.
    void settingsChosen(const AppSetting &chosen);
    // OPEN: the file's record, for the record at once.
    void recordOpened(const AppSetting &opened);
    // SAVE AS: the fields as edited, for the record and that file.
    void settingsSavedAs(const AppSetting &chosen, const QString &path);
    void portsChosen(const PortChoice::Lists &chosen, bool force);
    // The foot-switch list changed, by the user or by a record shown.
    void footSwitchPresetChanged(int preset);
    // The bindings window waits for a remote message (true) or no longer.
    void learningChanged(bool on);
    // OK: the record may hold new names and another arrangement.
    void settingsChanged();
    // OPEN, SAVE AS: the record may hold new names.
    void presetNamesChanged();

protected:
    // Each showing fits the window to its screen.
    void showEvent(QShowEvent *event) override;

private slots:
    void on_pushOK_clicked();
    void on_pushCancel_clicked();
    void on_pushGetSerial_clicked();
    void on_pushOpen_clicked();
    void on_pushSaveAs_clicked();
    void on_pushRemoteBindings_clicked();

private:
    void showDispType(int dispType);

    Ui::HardSettingDialog *ui;
    // The record shown; never written here.
    const AppSetting *appSetting;
    // The fields as edited since the record was last shown.
    AppSetting edited;
    PortPair *hardPorts;
    PortPair *remotePorts;
    RemoteBindingsDialog *bindingsDialog = nullptr;
    UnitCheckPanel *unitCheck = nullptr;
    // The bindings as edited since the record was last shown; OK stores them.
    RemoteBindings pendingBindings;
};

#endif
