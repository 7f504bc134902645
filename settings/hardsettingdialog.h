#ifndef HARDSETTINGDIALOG_H
#define HARDSETTINGDIALOG_H

#include "hardmessages.h"
#include "portpair.h"
#include "remotebindings.h"

#include <QDialog>

class AppSetting;
class HardwareLink;
class QComboBox;
class RemoteBindingsDialog;

namespace Ui {
class HardSettingDialog;
}

// The modal settings window: picks the four ports, names the presets, chooses
// the foot-switch preset and the arrangement, binds the remote controller,
// reconnects the unit, and opens and saves setting files. Edits the main window's record in place,
// applies the chosen ports to the link's and the pads' pairs, and tells the window by signals. GUI
// thread.
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
    void applyPorts(bool force);
    int footSwitchPreset() const;
    // A remote message while the bindings window learns: offered to it and
    // taken (true), so that it does not also act.
    bool takeRemoteMessage(const ByteVector &message);

signals:
    // From here until portsApplied (its error box included) the ports are the dialog's.
    void applyingPorts();
    void portsApplied();
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
    // The learnt serial number is stored and saved at once.
    void storeSerialNumber(const ByteVector &serial);
    static bool applyPort(PortPair &pair, PortPair::End end, const QComboBox *list,
                          const QString &hardwareName, bool force);

    Ui::HardSettingDialog *ui;
    AppSetting *appSetting;
    HardwareLink *link;
    PortPair *hardPorts;
    PortPair *remotePorts;
    RemoteBindingsDialog *bindingsDialog = nullptr;
    // The bindings as edited since the record was last shown; OK stores them.
    RemoteBindings pendingBindings;
};

#endif
