#include "hardsettingdialog.h"
#include "ui_hardsettingdialog.h"

#include "appsetting.h"
#include "hardwarelink.h"
#include "remotebindingsdialog.h"
#include "screenfit.h"
#include "unitcheckpanel.h"

#include <QFileDialog>
#include <QMessageBox>

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
    : QDialog(parent), ui(new Ui::HardSettingDialog), appSetting(setting), hardPorts(link->ports()),
      remotePorts(remotePorts)
{
    ui->setupUi(this);
    // Made after the form connects its slots by name, which would take the
    // bindings window's OK and CANCEL for this dialog's.
    bindingsDialog = new RemoteBindingsDialog(this);
    connect(bindingsDialog, &RemoteBindingsDialog::learningChanged, this,
            &HardSettingDialog::learningChanged);
    setWindowFlags(Qt::Window | Qt::WindowCloseButtonHint);

    ui->comboFootSwitchPreset->addItem(tr("none"));
    for (int i = 1; i <= PresetCount; ++i)
        ui->comboFootSwitchPreset->addItem(QString("PRESET%1").arg(i));
    connect(ui->comboFootSwitchPreset, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this] { emit footSwitchPresetChanged(footSwitchPreset()); });
    unitCheck = new UnitCheckPanel(link, this);
    showRecord();
    // Cancel, Escape and the title bar's close button leave the record as it
    // is; the fields, the foot-switch choice among them, follow it again.
    connect(this, &QDialog::rejected, this, &HardSettingDialog::showRecord);
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
    edited = *appSetting;
    const int footSwitch = edited.footSwitchIndex();
    ui->comboFootSwitchPreset->setCurrentIndex(
        footSwitch >= 0 && footSwitch <= PresetCount ? footSwitch : 0);
    // Any other value shows the grid, the arrangement the main window installs for it.
    const int dispType = edited.dispType();
    showDispType(dispType == 1 || dispType == 2 ? dispType : 0);
    showPresetNames();
    refreshPortLists();
    showSerialNumber();
    pendingBindings = edited.remoteBindings();
    unitCheck->showSeconds(edited.linkCheckSeconds());
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
    fill(ui->comboHardMidiIn, hardPorts, End::In, false, edited.hardwareMidiInPort());
    fill(ui->comboHardMidiOut, hardPorts, End::Out, false, edited.hardwareMidiOutPort());
    fill(ui->comboRemoteMidiIn, remotePorts, End::In, true, edited.remoteMidiInPort());
    fill(ui->comboRemoteMidiOut, remotePorts, End::Out, true, edited.remoteMidiOutPort());
}

void HardSettingDialog::showPresetNames()
{
    QLineEdit *const edits[] = {ui->textPresetName1, ui->textPresetName2, ui->textPresetName3,
                                ui->textPresetName4, ui->textPresetName5, ui->textPresetName6};
    for (int i = 0; i < PresetCount; ++i)
        edits[i]->setText(edited.presetName(i));
}

void HardSettingDialog::showSerialNumber()
{
    ui->labelSerialNum->setText(toHexString(appSetting->serialNumber(), QLatin1Char(' ')));
}

void HardSettingDialog::collectSettings()
{
    edited.setHardwareMidiInPort(keptName(ui->comboHardMidiIn));
    edited.setHardwareMidiOutPort(keptName(ui->comboHardMidiOut));

    // "none", and the unit's own port chosen a second time, store no name.
    const auto remoteName = [](const QComboBox *remote, const QComboBox *hardware) {
        return selectedName(remote) == selectedName(hardware) ? QString() : keptName(remote);
    };
    edited.setRemoteMidiInPort(remoteName(ui->comboRemoteMidiIn, ui->comboHardMidiIn));
    edited.setRemoteMidiOutPort(remoteName(ui->comboRemoteMidiOut, ui->comboHardMidiOut));

    const QLineEdit *const edits[] = {ui->textPresetName1, ui->textPresetName2,
                                      ui->textPresetName3, ui->textPresetName4,
                                      ui->textPresetName5, ui->textPresetName6};
    for (int i = 0; i < PresetCount; ++i)
        edited.setPresetName(i, edits[i]->text());
    edited.setFootSwitchIndex(ui->comboFootSwitchPreset->currentIndex());
    edited.setRemoteBindings(pendingBindings);
    edited.setDispType(ui->radioButtonGrid->isChecked() ? 0
                       : ui->radioButtonH->isChecked()  ? 1
                       : ui->radioButtonV->isChecked()  ? 2
                                                        : 0);
}

void HardSettingDialog::applyPorts(bool force)
{
    const auto chosen = [](const QComboBox *list) {
        return PortChoice::List{selectedName(list), list->currentData(AbsentRole).toBool()};
    };
    emit portsChosen({chosen(ui->comboHardMidiIn), chosen(ui->comboHardMidiOut),
                      chosen(ui->comboRemoteMidiIn), chosen(ui->comboRemoteMidiOut)},
                     force);
}

void HardSettingDialog::showConnectError(const QString &text)
{
    QMessageBox box(QMessageBox::Critical, tr("Midi Connect Error"), text, QMessageBox::Ok, this);
    box.exec();
}

int HardSettingDialog::footSwitchPreset() const
{
    return ui->comboFootSwitchPreset->currentIndex() - 1;
}

void HardSettingDialog::on_pushOK_clicked()
{
    applyPorts(false);
    collectSettings();
    // Only OK keeps the idle check's period.
    edited.setLinkCheckSeconds(unitCheck->seconds());
    emit settingsChosen(edited);
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
    edited.loadSettingFile(path);
    emit recordOpened(edited);
    unitCheck->showSeconds(edited.linkCheckSeconds());
    showPresetNames();
    refreshPortLists();
    const int footSwitch = edited.footSwitchIndex();
    if (footSwitch >= 0 && footSwitch <= PresetCount)
        ui->comboFootSwitchPreset->setCurrentIndex(footSwitch);
    pendingBindings = edited.remoteBindings();
    emit presetNamesChanged();
    showDispType(edited.dispType());
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
    emit settingsSavedAs(edited, path);
    emit presetNamesChanged();
}

void HardSettingDialog::on_pushRemoteBindings_clicked()
{
    bindingsDialog->setBindings(pendingBindings);
    ScreenFit::fitDialog(bindingsDialog);
    if (bindingsDialog->exec() == QDialog::Accepted)
        pendingBindings = bindingsDialog->bindings();
}

void HardSettingDialog::offerRemoteMessage(const ByteVector &message)
{
    bindingsDialog->offer(message);
}
