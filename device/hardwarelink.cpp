// The main window's conversation with the unit: serial capture, status
// replies, the link state shown on lamps and buttons, feedback to the remote
// controller and the traffic log. GUI thread.
#include "tarnappmainwindow.h"

#include "hardmessages.h"
#include "hardsettingdialog.h"
#include "qmidiin.h"
#include "qmidimessage.h"
#include "qmidiout.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <RtMidi.h>

namespace {

const char *const ActiveColor = "#FF570D";
const char *const ChoosableColor = "#3B3B3B";
const char *const OffColor = "#888888";
const char *const OnLampColor = "#FFFF33";
const char *const OnCaptionColor = "#000000";

} // namespace

void TarnAppMainWindow::onMidiHardReceive(QMidiMessage *message)
{
    if (!message || message->status() != 0xF0)
        return;
    // What the previous connection sent, still queued when the port was
    // reopened, is not the new unit's answer.
    if (!midiHardIn->isFromCurrentOpening(message))
        return;
    const std::vector<unsigned char> bytes = message->sysExData();
    logMidiTraffic(toHexString(bytes, QLatin1Char(' ')), false);
    handleHardReply(bytes);
}

void TarnAppMainWindow::requestSerial()
{
    hardSerial.clear();
    hardStatus = WaitSerial;
    currentPreset = -2;
    ++replyCount; // a reply being handled in an outer loop belongs to the old connection
    sendMidiHard(makeSerialRequest());
}

void TarnAppMainWindow::requestInitStatus()
{
    sendMidiHard(makeInitStatusRequest(hardSerial));
}

void TarnAppMainWindow::handleHardReply(const std::vector<unsigned char> &message)
{
    const HardReply reply = parseHardReply(message);
    // A failed send opens a box whose event loop may deliver and handle the
    // unit's next reply; this older one must then not carry on over it.
    const quint64 thisReply = ++replyCount;
    const auto superseded = [&] { return replyCount != thisReply; };

    // The first message on a connection carries the serial number, whatever
    // its type; one too short to hold one (a foreign SysEx) is not an answer.
    if (hardSerial.empty()) {
        if (reply.serial.empty())
            return;
        appSetting.setSerialNumber(reply.serial);
        hardSerial = reply.serial;
        appSetting.saveSettingFile(settingFilePath());
        if (hardSettingDialog)
            hardSettingDialog->showSerialNumber();
        hardStatus = WaitInitStatus;
        updateStatusDisplay();
        requestInitStatus();
        if (superseded())
            return;
    }

    if (!reply.isStatus || reply.preset == currentPreset)
        return;
    if (hardStatus != Complete) {
        hardStatus = Complete;
        updateStatusDisplay();
    }
    for (int i = 0; i < presetButtons.size(); ++i)
        setButtonStyle(presetButtons[i], i == reply.preset ? ActiveColor : ChoosableColor);
    // Remembered before the feedback goes out: a failed note opens a box
    // whose loop may deliver the unit's next report, compared with this one.
    // A preset number the unit should not report is shown as none and
    // remembered as nothing reported, so that its next report is acted on
    // whatever it says.
    currentPreset = reply.preset >= -1 && reply.preset <= 5 ? reply.preset : -2;
    if (midiRemoteOut->isPortOpen() && !presetButtons.isEmpty()) {
        for (int i = 0; i < AppSetting::presetCount; ++i) {
            sendMidiRemote(i, i == reply.preset);
            if (superseded())
                return;
        }
    }
}

void TarnAppMainWindow::updateStatusDisplay()
{
    const bool remoteOpen = midiRemoteIn->isPortOpen() && midiRemoteOut->isPortOpen();
    setLampStyle(labelRemoteLamp, remoteOpen ? OnLampColor : OffColor);
    setTextColor(labelRemoteConnection, remoteOpen ? OnCaptionColor : OffColor);

    const auto styleButtons = [this](bool enabled, const char *color) {
        for (QPushButton *button : presetButtons) {
            button->setEnabled(enabled);
            setButtonStyle(button, color);
        }
    };

    if (!midiHardIn->isPortOpen() || !midiHardOut->isPortOpen()) {
        setLampStyle(labelHardLamp, OffColor);
        setTextColor(labelHardConnection, OffColor);
        hardStatus = NoPort;
        labelMessage->setText(tr("Please set midi port to the setting."));
        styleButtons(false, OffColor);
        return;
    }
    if (hardStatus == NoPort)
        return;

    setLampStyle(labelHardLamp, OnLampColor);
    setTextColor(labelHardConnection, OnCaptionColor);
    switch (hardStatus) {
    case WaitSerial:
        labelMessage->setText(tr("Serial number isn't being received."));
        styleButtons(false, OffColor);
        break;
    case WaitInitStatus:
        labelMessage->setText(tr("Init Status isn't being received"));
        styleButtons(true, ChoosableColor);
        break;
    case Complete:
        labelMessage->setText(tr("Complete : [") + toHexString(hardSerial, QLatin1Char(' ')) + "]");
        break;
    default:
        break;
    }
}

void TarnAppMainWindow::sendMidiHard(const std::vector<unsigned char> &message)
{
    try {
        QMidiMessage midiMessage;
        midiMessage.setStatus(0xF0);
        midiMessage.setSysExData(message);
        midiHardOut->sendMessage(&midiMessage);
        logMidiTraffic(toHexString(message, QLatin1Char(' ')), true);
    } catch (const RtMidiError &error) {
        showSendError(hardErrorShown, QT_TR_NOOP("Midi Hard Send Error"), error.getMessage());
    }
}

void TarnAppMainWindow::sendMidiRemote(int index, bool on)
{
    try {
        QMidiMessage midiMessage;
        midiMessage.setStatus(0x90);
        midiMessage.setVelocity(on ? 127 : 0);
        midiMessage.setPitch(54 + index);
        midiRemoteOut->sendMessage(&midiMessage);
    } catch (const RtMidiError &error) {
        showSendError(remoteErrorShown, QT_TR_NOOP("Midi Remote Send Error"), error.getMessage());
    }
}

void TarnAppMainWindow::showSendError(bool &shown, const char *title, const std::string &text)
{
    // MIDI keeps arriving inside the box's event loop; a failure there must not
    // open box upon box, so while one is open the others go to the debug output.
    if (shown) {
        qDebug("%s: %s", title, text.c_str());
        return;
    }
    shown = true;
    QMessageBox box(QMessageBox::Critical, tr(title), QString::fromStdString(text), QMessageBox::Ok,
                    this);
    box.exec();
    shown = false;
}

void TarnAppMainWindow::logMidiTraffic(const QString &text, bool sent)
{
    const QByteArray line = (QString(sent ? "Send   : " : "Rcv    : ") + text).toUtf8();
    QMessageLogger().debug("%s", line.constData());
}
