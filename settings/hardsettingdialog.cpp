#include "hardsettingdialog.h"
#include "ui_hardsettingdialog.h"

#include "appsetting.h"
#include "hardwarelink.h"
#include "remotebindingsdialog.h"
#include "screenfit.h"
#include "unitcheckpanel.h"

#include <QFileDialog>
#include <QMessageBox>
#include <RtMidi.h>

namespace {

// Each list entry carries the port name it stands for ("none": empty), and
// whether that port is absent (a stored name that is not listed now).
const int NameRole = Qt::UserRole;
const int AbsentRole = Qt::UserRole + 1;
// The stored name an entry was found for, when it differs only in its numbers.
const int StoredRole = Qt::UserRole + 2;

QString selectedName(const QComboBox *list)
{
    return list->currentData(NameRole).toString();
}

// What the record keeps for a list: the stored name while the user leaves it as shown.
QString keptName(const QComboBox *list)
{
    const QVariant stored = list->currentData(StoredRole);
    return stored.isValid() ? stored.toString() : selectedName(list);
}

} // namespace

HardSettingDialog::HardSettingDialog(AppSetting *setting, HardwareLink *link, PortPair *remotePorts,
                                     QWidget *parent)
    : QDialog(parent), ui(new Ui::HardSettingDialog), appSetting(setting), link(link),
      hardPorts(link->ports()), remotePorts(remotePorts)
{
    ui->setupUi(this);
    // Made after the form connects its slots by name, which would take the
    // bindings window's OK and CANCEL for this dialog's.
    bindingsDialog = new RemoteBindingsDialog(this);
    setWindowFlags(Qt::Window | Qt::WindowCloseButtonHint);

    ui->comboFootSwitchPreset->addItem(tr("none"));
    for (int i = 1; i <= PresetCount; ++i)
        ui->comboFootSwitchPreset->addItem(QString("PRESET%1").arg(i));
    showRecord();
    // Cancel, Escape and the title bar's close button leave the record as it
    // is; the fields, the foot-switch choice among them, follow it again.
    connect(this, &QDialog::rejected, this, &HardSettingDialog::showRecord);
    connect(link, &HardwareLink::serialLearned, this, &HardSettingDialog::storeSerialNumber);
    new UnitCheckPanel(setting, link, this);
}

HardSettingDialog::~HardSettingDialog()
{
    delete ui;
}

void HardSettingDialog::showEvent(QShowEvent *event)
{
    ScreenFit::fitDialog(this);
    QDialog::showEvent(event);
}

void HardSettingDialog::showDispType(int dispType)
{
    if (dispType == 0)
        ui->radioButtonGrid->setChecked(true);
    else if (dispType == 1)
        ui->radioButtonH->setChecked(true);
    else if (dispType == 2)
        ui->radioButtonV->setChecked(true);
}

void HardSettingDialog::showRecord()
{
    const int footSwitch = appSetting->footSwitchIndex();
    ui->comboFootSwitchPreset->setCurrentIndex(
        footSwitch >= 0 && footSwitch <= PresetCount ? footSwitch : 0);
    // Any other value shows the grid, the arrangement the main window installs for it.
    const int dispType = appSetting->dispType();
    showDispType(dispType == 1 || dispType == 2 ? dispType : 0);
    showPresetNames();
    refreshPortLists();
    showSerialNumber();
    pendingBindings = appSetting->remoteBindings();
}

void HardSettingDialog::refreshPortLists(bool keepChoices)
{
    using End = PortPair::End;
    const auto fill = [this, keepChoices](QComboBox *list, const PortPair *pair, End end,
                                          bool withNone, const QString &storedName) {
        // Ports that come and go while the dialog is open must not undo what
        // the user has chosen and not yet applied.
        const QString stored = keepChoices && list->count() ? keptName(list) : storedName;
        const QStringList names = pair->portNames(end);
        list->clear();
        if (withNone)
            list->addItem(tr("none"), QString());
        for (const QString &name : names)
            list->addItem(name, name);
        // Without a match a list keeps its first entry; but a stored port that
        // is absent (unplugged) is kept as an entry of its own, so that OK
        // does not put another port in its place.
        const QString present = pair->presentName(end, stored);
        const int index = present.isEmpty() ? -1 : names.indexOf(present);
        if (index >= 0) {
            list->setCurrentIndex(index + (withNone ? 1 : 0));
            // Renumbered: left alone, the list keeps the name as stored.
            list->setItemData(list->currentIndex(), stored, StoredRole);
        } else if (!stored.isEmpty()) {
            list->addItem(stored + tr(" (not connected)"), stored);
            list->setItemData(list->count() - 1, true, AbsentRole);
            list->setCurrentIndex(list->count() - 1);
        }
    };
    fill(ui->comboHardMidiIn, hardPorts, End::In, false, appSetting->hardwareMidiInPort());
    fill(ui->comboHardMidiOut, hardPorts, End::Out, false, appSetting->hardwareMidiOutPort());
    fill(ui->comboRemoteMidiIn, remotePorts, End::In, true, appSetting->remoteMidiInPort());
    fill(ui->comboRemoteMidiOut, remotePorts, End::Out, true, appSetting->remoteMidiOutPort());
}

void HardSettingDialog::showPresetNames()
{
    QLineEdit *const edits[] = {ui->textPresetName1, ui->textPresetName2, ui->textPresetName3,
                                ui->textPresetName4, ui->textPresetName5, ui->textPresetName6};
    for (int i = 0; i < PresetCount; ++i)
        edits[i]->setText(appSetting->presetName(i));
}

void HardSettingDialog::showSerialNumber()
{
    ui->labelSerialNum->setText(toHexString(appSetting->serialNumber(), QLatin1Char(' ')));
}

void HardSettingDialog::storeSerialNumber(const ByteVector &serial)
{
    appSetting->setSerialNumber(serial);
    appSetting->saveSettingFile(AppSetting::settingFilePath());
    showSerialNumber();
}

void HardSettingDialog::collectSettings()
{
    appSetting->setHardwareMidiInPort(keptName(ui->comboHardMidiIn));
    appSetting->setHardwareMidiOutPort(keptName(ui->comboHardMidiOut));

    // "none", and the unit's own port chosen a second time, store no name.
    const auto remoteName = [](const QComboBox *remote, const QComboBox *hardware) {
        return selectedName(remote) == selectedName(hardware) ? QString() : keptName(remote);
    };
    appSetting->setRemoteMidiInPort(remoteName(ui->comboRemoteMidiIn, ui->comboHardMidiIn));
    appSetting->setRemoteMidiOutPort(remoteName(ui->comboRemoteMidiOut, ui->comboHardMidiOut));

    const QLineEdit *const edits[] = {ui->textPresetName1, ui->textPresetName2,
                                      ui->textPresetName3, ui->textPresetName4,
                                      ui->textPresetName5, ui->textPresetName6};
    for (int i = 0; i < PresetCount; ++i)
        appSetting->setPresetName(i, edits[i]->text());
    appSetting->setFootSwitchIndex(ui->comboFootSwitchPreset->currentIndex());
    appSetting->setRemoteBindings(pendingBindings);
    appSetting->setDispType(ui->radioButtonGrid->isChecked() ? 0
                            : ui->radioButtonH->isChecked()  ? 1
                            : ui->radioButtonV->isChecked()  ? 2
                                                             : 0);
}

void HardSettingDialog::applyPorts(bool force)
{
    // Set before a later port fails too: the new unit is asked for its serial
    // number all the same.
    bool hardwareReopened = false;
    emit applyingPorts();
    try {
        using End = PortPair::End;
        const QString hardIn = selectedName(ui->comboHardMidiIn);
        const QString hardOut = selectedName(ui->comboHardMidiOut);
        hardwareReopened |= applyPort(*hardPorts, End::In, ui->comboHardMidiIn, QString(), force);
        hardwareReopened |= applyPort(*hardPorts, End::Out, ui->comboHardMidiOut, QString(), force);
        applyPort(*remotePorts, End::In, ui->comboRemoteMidiIn, hardIn, force);
        applyPort(*remotePorts, End::Out, ui->comboRemoteMidiOut, hardOut, force);
    } catch (const RtMidiError &error) {
        QMessageBox box(QMessageBox::Critical, tr("Midi Connect Error"),
                        QString::fromStdString(error.getMessage()), QMessageBox::Ok, this);
        box.exec();
    }
    if (hardwareReopened)
        link->requestSerial();
    emit portsApplied();
}

// Brings one end of a pair in line with its list, as OK and Reconnect
// hardware do. No port chosen, or the unit's own port chosen again as a
// remote port, closes it; an absent stored port is left alone. A port other
// than the one open (none while closed) is opened. True when it was (re)opened.
bool HardSettingDialog::applyPort(PortPair &pair, PortPair::End end, const QComboBox *list,
                                  const QString &hardwareName, bool force)
{
    const QString name = selectedName(list);
    if (name.isEmpty() || name == hardwareName) {
        pair.close(end);
        return false;
    }
    if (list->currentData(AbsentRole).toBool())
        return false;
    if (!force && name == pair.openedName(end))
        return false;
    pair.open(end, name);
    return true;
}

int HardSettingDialog::footSwitchPreset() const
{
    return ui->comboFootSwitchPreset->currentIndex() - 1;
}

void HardSettingDialog::on_pushOK_clicked()
{
    applyPorts(false);
    collectSettings();
    appSetting->saveSettingFile(AppSetting::settingFilePath());
    emit settingsChanged();
    accept();
}

void HardSettingDialog::on_pushCancel_clicked()
{
    close();
}

void HardSettingDialog::on_pushGetSerial_clicked()
{
    applyPorts(true);
}

void HardSettingDialog::on_pushOpen_clicked()
{
    QString filter = tr("Ini File(*.ini)");
    const QString path = QFileDialog::getOpenFileName(this, tr("Open Setting File"), QString(),
                                                      tr("All File(*.*);;Ini File(*.ini)"), &filter,
                                                      QFileDialog::DontUseCustomDirectoryIcons);
    if (path.isEmpty())
        return;
    appSetting->loadSettingFile(path);
    showPresetNames();
    refreshPortLists();
    const int footSwitch = appSetting->footSwitchIndex();
    if (footSwitch >= 0 && footSwitch <= PresetCount)
        ui->comboFootSwitchPreset->setCurrentIndex(footSwitch);
    pendingBindings = appSetting->remoteBindings();
    emit presetNamesChanged();
    showDispType(appSetting->dispType());
}

void HardSettingDialog::on_pushSaveAs_clicked()
{
    QString filter = tr("Ini File(*.ini)");
    const QString path = QFileDialog::getSaveFileName(this, tr("Save Setting File"), QString(),
                                                      tr("All File(*.*);;Ini File(*.ini)"), &filter,
                                                      QFileDialog::DontUseCustomDirectoryIcons);
    if (path.isEmpty())
        return;
    collectSettings();
    appSetting->saveSettingFile(path);
    emit presetNamesChanged();
}

void HardSettingDialog::on_pushRemoteBindings_clicked()
{
    bindingsDialog->setBindings(pendingBindings);
    ScreenFit::fitDialog(bindingsDialog);
    if (bindingsDialog->exec() == QDialog::Accepted)
        pendingBindings = bindingsDialog->bindings();
}

bool HardSettingDialog::takeRemoteMessage(const ByteVector &message)
{
    if (!bindingsDialog->isVisible() || !bindingsDialog->isLearning())
        return false;
    bindingsDialog->offer(message);
    return true;
}
