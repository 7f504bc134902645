#include "hardsettingdialog.h"
#include "ui_hardsettingdialog.h"

#include "appsetting.h"
#include "hardmessages.h"
#include "qmidiin.h"
#include "qmidiout.h"
#include "tarnappmainwindow.h"

#include <QFileDialog>
#include <QMessageBox>
#include <RtMidi.h>

namespace {

// Closes and reopens one port after its list, as OK and Reconnect hardware do.
// The port is looked up by its name in the current port list, which may have
// changed since the dialog's list was filled. Returns true when the port was
// reopened.
template <class Port> bool reopenPort(Port *port, const QString &name, bool changed)
{
    if (!changed)
        return false;
    if (port->isPortOpen())
        port->closePort();
    // The list may be older than the ports: open the chosen name where it is now.
    const int index = port->portNames().indexOf(name);
    if (index < 0)
        throw RtMidiError("The MIDI port \"" + name.toStdString() + "\" is no longer there.",
                          RtMidiError::INVALID_DEVICE);
    port->openPort(static_cast<unsigned int>(index));
    return true;
}

template <class Port> void closeIfOpen(Port *port)
{
    if (port->isPortOpen())
        port->closePort();
}

} // namespace

HardSettingDialog::HardSettingDialog(AppSetting *setting, QMidiIn *hardIn, QMidiOut *hardOut,
                                     QMidiIn *remoteIn, QMidiOut *remoteOut,
                                     TarnAppMainWindow *mainWindow)
    : QDialog(mainWindow), ui(new Ui::HardSettingDialog), mainWindow(mainWindow),
      appSetting(setting), midiHardIn(hardIn), midiHardOut(hardOut), midiRemoteIn(remoteIn),
      midiRemoteOut(remoteOut)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::WindowCloseButtonHint);

    ui->comboFootSwitchPreset->addItem(tr("none"));
    for (int i = 1; i <= AppSetting::presetCount; ++i)
        ui->comboFootSwitchPreset->addItem(QString("PRESET%1").arg(i));
    const int footSwitch = appSetting->footSwitchIndex();
    if (footSwitch >= 0 && footSwitch <= AppSetting::presetCount)
        ui->comboFootSwitchPreset->setCurrentIndex(footSwitch);
    showDispType(appSetting->dispType());

    showPresetNames();
    refreshPortLists();
    showSerialNumber();
}

HardSettingDialog::~HardSettingDialog()
{
    delete ui;
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

void HardSettingDialog::refreshPortLists()
{
    ui->comboHardMidiIn->clear();
    ui->comboHardMidiOut->clear();
    ui->comboRemoteMidiIn->clear();
    ui->comboRemoteMidiOut->clear();

    const QStringList hardIns = midiHardIn->portNames();
    const QStringList hardOuts = midiHardOut->portNames();
    const QStringList remoteIns = midiRemoteIn->portNames();
    const QStringList remoteOuts = midiRemoteOut->portNames();
    ui->comboHardMidiIn->addItems(hardIns);
    ui->comboHardMidiOut->addItems(hardOuts);
    ui->comboRemoteMidiIn->addItem(tr("none"));
    ui->comboRemoteMidiIn->addItems(remoteIns);
    ui->comboRemoteMidiOut->addItem(tr("none"));
    ui->comboRemoteMidiOut->addItems(remoteOuts);

    // Without a match a list keeps its first entry.
    const auto select = [](QComboBox *combo, const QStringList &names, const QString &stored,
                           int offset) {
        const int index = names.indexOf(stored);
        if (index >= 0)
            combo->setCurrentIndex(index + offset);
    };
    select(ui->comboHardMidiIn, hardIns, appSetting->hardwareMidiInPort(), 0);
    select(ui->comboHardMidiOut, hardOuts, appSetting->hardwareMidiOutPort(), 0);
    select(ui->comboRemoteMidiIn, remoteIns, appSetting->remoteMidiInPort(), 1);
    select(ui->comboRemoteMidiOut, remoteOuts, appSetting->remoteMidiOutPort(), 1);
}

void HardSettingDialog::showPresetNames()
{
    QLineEdit *const edits[] = {ui->textPresetName1, ui->textPresetName2, ui->textPresetName3,
                                ui->textPresetName4, ui->textPresetName5, ui->textPresetName6};
    for (int i = 0; i < AppSetting::presetCount; ++i)
        edits[i]->setText(appSetting->presetName(i));
}

void HardSettingDialog::showSerialNumber()
{
    ui->labelSerialNum->setText(toHexString(appSetting->serialNumber(), QLatin1Char(' ')));
}

void HardSettingDialog::collectSettings()
{
    appSetting->setHardwareMidiInPort(ui->comboHardMidiIn->currentText());
    appSetting->setHardwareMidiOutPort(ui->comboHardMidiOut->currentText());

    // "none", and the unit's own port chosen a second time, store no name.
    const auto remoteName = [](QComboBox *remote, QComboBox *hardware) {
        const int index = remote->currentIndex();
        return index != 0 && index != hardware->currentIndex() + 1 ? remote->currentText()
                                                                   : QString();
    };
    appSetting->setRemoteMidiInPort(remoteName(ui->comboRemoteMidiIn, ui->comboHardMidiIn));
    appSetting->setRemoteMidiOutPort(remoteName(ui->comboRemoteMidiOut, ui->comboHardMidiOut));

    const QLineEdit *const edits[] = {ui->textPresetName1, ui->textPresetName2,
                                      ui->textPresetName3, ui->textPresetName4,
                                      ui->textPresetName5, ui->textPresetName6};
    for (int i = 0; i < AppSetting::presetCount; ++i)
        appSetting->setPresetName(i, edits[i]->text());
    appSetting->setFootSwitchIndex(ui->comboFootSwitchPreset->currentIndex());
    appSetting->setDispType(ui->radioButtonGrid->isChecked() ? 0
                            : ui->radioButtonH->isChecked()  ? 1
                            : ui->radioButtonV->isChecked()  ? 2
                                                             : 0);
}

void HardSettingDialog::applyPorts(bool force)
{
    try {
        const int hardIn = ui->comboHardMidiIn->currentIndex();
        const int hardOut = ui->comboHardMidiOut->currentIndex();
        const int remoteIn = ui->comboRemoteMidiIn->currentIndex();
        const int remoteOut = ui->comboRemoteMidiOut->currentIndex();
        // A list whose text differs from the name accepted last has changed.
        const auto changed = [force](QComboBox *combo, const QString &stored) {
            return force || combo->currentText() != stored;
        };

        bool hardwareReopened = false;
        if (hardIn < 0)
            closeIfOpen(midiHardIn);
        else
            hardwareReopened |=
                reopenPort(midiHardIn, ui->comboHardMidiIn->currentText(),
                           changed(ui->comboHardMidiIn, appSetting->hardwareMidiInPort()));
        if (hardOut < 0)
            closeIfOpen(midiHardOut);
        else
            hardwareReopened |=
                reopenPort(midiHardOut, ui->comboHardMidiOut->currentText(),
                           changed(ui->comboHardMidiOut, appSetting->hardwareMidiOutPort()));

        // A remote port that is the unit's own port keeps whatever state it has.
        if (remoteIn == 0)
            closeIfOpen(midiRemoteIn);
        else if (remoteIn > 0 && remoteIn != hardIn + 1)
            reopenPort(midiRemoteIn, ui->comboRemoteMidiIn->currentText(),
                       changed(ui->comboRemoteMidiIn, appSetting->remoteMidiInPort()));
        if (remoteOut == 0)
            closeIfOpen(midiRemoteOut);
        else if (remoteOut > 0 && remoteOut != hardOut + 1)
            reopenPort(midiRemoteOut, ui->comboRemoteMidiOut->currentText(),
                       changed(ui->comboRemoteMidiOut, appSetting->remoteMidiOutPort()));

        if (hardwareReopened)
            mainWindow->requestSerial();
        mainWindow->updateStatusDisplay();
    } catch (const RtMidiError &error) {
        QMessageBox box(QMessageBox::Critical, tr("Midi Connect Error"),
                        QString::fromStdString(error.getMessage()), QMessageBox::Ok, this);
        box.exec();
        mainWindow->updateStatusDisplay(); // show what is open now
    }
}

int HardSettingDialog::footSwitchPreset() const
{
    return ui->comboFootSwitchPreset->currentIndex() - 1;
}

void HardSettingDialog::on_pushOK_clicked()
{
    applyPorts(false);
    collectSettings();
    appSetting->saveSettingFile(TarnAppMainWindow::settingFilePath());
    mainWindow->updateCaptions();
    mainWindow->applyLayout();
    close();
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
    if (footSwitch >= 0 && footSwitch <= AppSetting::presetCount)
        ui->comboFootSwitchPreset->setCurrentIndex(footSwitch);
    mainWindow->updateCaptions();
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
    mainWindow->updateCaptions();
}
