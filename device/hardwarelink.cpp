#include "hardwarelink.h"

#include "portpair.h"
#include "qmidiin.h"
#include "qmidimessage.h"
#include "qmidiout.h"

#include <RtMidi.h>

HardwareLink::HardwareLink(QObject *parent)
    : QObject(parent), hardPorts(new PortPair("hardware", this))
{
    connect(hardPorts->in(), SIGNAL(midiMessageReceived(QMidiMessage *)), this,
            SLOT(onMidiHardReceive(QMidiMessage *)));
    // The unit speaks SysEx; time code and active sensing are dropped.
    hardPorts->in()->ignoreTypes(false, true, true);
}

bool HardwareLink::takesPresets() const
{
    return status == HardStatus::WaitInitStatus || status == HardStatus::Complete;
}

void HardwareLink::onMidiHardReceive(QMidiMessage *message)
{
    if (!message || message->status() != 0xF0)
        return;
    // What the previous connection sent, still queued when the port was
    // reopened, is not the new unit's answer.
    if (!hardPorts->in()->isFromCurrentOpening(message))
        return;
    const ByteVector bytes = message->sysExData();
    logMidiTraffic(toHexString(bytes, QLatin1Char(' ')), false);
    handleHardReply(bytes);
}

void HardwareLink::requestSerial()
{
    serial.clear();
    status = HardStatus::WaitSerial; // shown by the caller, once the ports are settled
    preset = -2;
    ++replies; // a reply being handled in an outer loop belongs to the old connection
    sendMidiHard(makeSerialRequest());
}

void HardwareLink::requestInitStatus()
{
    sendMidiHard(makeInitStatusRequest(serial));
}

void HardwareLink::handleHardReply(const ByteVector &message)
{
    const HardReply reply = parseHardReply(message);
    // A failed send opens a box whose event loop may deliver and handle the
    // unit's next reply; this older one must then not carry on over it.
    const quint64 thisReply = ++replies;
    const auto superseded = [&] { return replies != thisReply; };

    // The first message on a connection carries the serial number, whatever
    // its type; one too short to hold one (a foreign SysEx) is not an answer.
    if (serial.empty()) {
        if (reply.serial.empty())
            return;
        serial = reply.serial;
        emit serialLearned(serial);
        setStatus(HardStatus::WaitInitStatus);
        requestInitStatus();
        if (superseded())
            return;
    }

    if (!reply.isStatus || reply.preset == preset)
        return;
    if (status != HardStatus::Complete)
        setStatus(HardStatus::Complete);
    // Remembered before the feedback goes out: a failed note opens a box
    // whose loop may deliver the unit's next report, compared with this one.
    // A preset number the unit should not report is shown as none and
    // remembered as nothing reported, so that its next report is acted on
    // whatever it says.
    preset = reply.preset >= -1 && reply.preset <= 5 ? reply.preset : -2;
    emit presetReported(reply.preset);
}

void HardwareLink::checkPorts()
{
    if (!hardPorts->isOpen())
        status = HardStatus::NoPort;
}

void HardwareLink::setStatus(HardStatus next)
{
    status = next;
    checkPorts();
    emit stateChanged();
}

void HardwareLink::selectPreset(int index)
{
    sendMidiHard(makePresetRequest(serial, static_cast<unsigned char>(index)));
}

void HardwareLink::sendMidiHard(const ByteVector &message)
{
    try {
        QMidiMessage midiMessage;
        midiMessage.setStatus(0xF0);
        midiMessage.setSysExData(message);
        hardPorts->out()->sendMessage(&midiMessage);
        logMidiTraffic(toHexString(message, QLatin1Char(' ')), true);
    } catch (const RtMidiError &error) {
        emit sendFailed(QString::fromStdString(error.getMessage()));
    }
}

void HardwareLink::logMidiTraffic(const QString &text, bool sent)
{
    const QByteArray line = (QString(sent ? "Send   : " : "Rcv    : ") + text).toUtf8();
    QMessageLogger().debug("%s", line.constData());
}
