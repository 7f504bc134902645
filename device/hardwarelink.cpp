#include "hardwarelink.h"

#include "portpair.h"
#include "presets.h"
#include "qmidiin.h"
#include "qmidimessage.h"

#include <RtMidi.h>

HardwareLink::HardwareLink(PortPair *ports, QObject *parent) : QObject(parent), hardPorts(ports)
{
    connect(hardPorts, &PortPair::closed, this, &HardwareLink::followPorts);
    // A MIDI service that stops takes the ports with it.
    connect(hardPorts, &PortPair::serviceLost, this, &HardwareLink::followPorts);
    connect(hardPorts->in(), SIGNAL(midiMessageReceived(QMidiMessage *)), this,
            SLOT(onMidiHardReceive(QMidiMessage *)));
    // The unit speaks SysEx; time code and active sensing are dropped.
    hardPorts->in()->ignoreTypes(false, true, true);
    requestTimer.setSingleShot(true);
    presetTimer.setSingleShot(true);
    // Precise: the musician is told within a known time that the unit is gone.
    requestTimer.setTimerType(Qt::PreciseTimer);
    presetTimer.setTimerType(Qt::PreciseTimer);
    connect(&requestTimer, &QTimer::timeout, this, &HardwareLink::requestUnanswered);
    connect(&presetTimer, &QTimer::timeout, this, &HardwareLink::presetUnanswered);
    connect(&checkTimer, &QTimer::timeout, this, &HardwareLink::idleCheck);
}

bool HardwareLink::takesPresets() const
{
    return status == HardStatus::WaitInitStatus || status == HardStatus::Complete ||
           status == HardStatus::NotAnswering;
}

void HardwareLink::setLinkCheckSeconds(int seconds)
{
    checkSeconds = qMax(0, seconds);
    followIdleCheck();
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
    preset = -2;
    ++replies; // a reply being handled in an outer loop belongs to the old connection
    stopWaiting();
    setStatus(HardStatus::WaitSerial);
    sendRequest(Awaiting::Serial);
}

void HardwareLink::requestInitStatus()
{
    sendMidiHard(makeInitStatusRequest(serial));
}

void HardwareLink::sendRequest(Awaiting what)
{
    if (what == Awaiting::Serial)
        sendMidiHard(makeSerialRequest());
    else
        requestInitStatus();
    awaitAnswer(what);
}

void HardwareLink::awaitAnswer(Awaiting what)
{
    if (awaiting != what)
        requestTries = 0;
    awaiting = what;
    ++requestTries;
    if (status == HardStatus::NoPort || (confirmMs <= 0 && what != Awaiting::Check)) {
        awaiting = Awaiting::Nothing;
        return;
    }
    // Asked twice in quick succession, then once a second: a unit that is
    // still booting, or a request lost on the way, costs no more than that.
    const int wait = what == Awaiting::Check ? (confirmMs > 0 ? confirmMs : defaultConfirmTimeout)
                     : requestTries == 1     ? confirmMs
                                             : pollInterval;
    requestTimer.start(wait);
}

void HardwareLink::requestUnanswered()
{
    if (followPorts())
        return;
    if (status == HardStatus::NotAnswering) {
        // Polled, never counted as a repeat: nothing is lost if it goes unanswered.
        requestInitStatus();
        requestTimer.start(pollInterval);
        return;
    }
    if (awaiting == Awaiting::Check) {
        awaiting = Awaiting::Nothing;
        if (++checkMisses >= 2)
            notAnswering();
        return;
    }
    if (awaiting == Awaiting::Nothing)
        return;
    if (requestTries == 1)
        qDebug("Link   : no answer to the %s request, asking again",
               awaiting == Awaiting::Serial ? "serial" : "status");
    ++repeats;
    sendRequest(awaiting);
}

void HardwareLink::presetUnanswered()
{
    if (followPorts() || pending < 0)
        return;
    if (presetTries == 1) {
        qDebug("Link   : no answer to preset %d, asking again", pending + 1);
        ++presetTries;
        ++repeats;
        const int index = pending;
        sendMidiHard(makePresetRequest(serial, static_cast<unsigned char>(index)));
        // The flag is due two answer times after the request: what the first
        // wait overran, or the repeat took to send, comes off the second.
        presetTimer.start(int(qMax<qint64>(0, 2 * confirmMs - presetSent.elapsed())));
        presetSent.start();
        return;
    }
    setPending(-1);
    if (status != HardStatus::NotAnswering)
        notAnswering();
}

void HardwareLink::notAnswering()
{
    presetTimer.stop();
    setPending(-1);
    awaiting = Awaiting::Nothing;
    checkMisses = 0;
    qDebug("Link   : unit not answering");
    setStatus(HardStatus::NotAnswering);
    if (status == HardStatus::NotAnswering)
        requestTimer.start(pollInterval);
}

void HardwareLink::idleCheck()
{
    if (followPorts())
        return;
    if (status == HardStatus::Complete && pending < 0 && awaiting == Awaiting::Nothing)
        sendRequest(Awaiting::Check);
}

void HardwareLink::followIdleCheck()
{
    // No timer at all while the link is idle without checks.
    const bool wanted = checkSeconds > 0 && status == HardStatus::Complete;
    if (!wanted)
        checkTimer.stop();
    else if (!checkTimer.isActive() || checkTimer.interval() != checkSeconds * 1000)
        checkTimer.start(checkSeconds * 1000);
}

void HardwareLink::stopWaiting()
{
    requestTimer.stop();
    awaiting = Awaiting::Nothing;
    requestTries = 0;
    checkMisses = 0;
    presetTimer.stop();
    setPending(-1);
}

void HardwareLink::setPending(int index)
{
    if (pending == index)
        return;
    pending = index;
    emit pendingChanged(index);
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
    // Later answers to a repeated serial request are not taken again.
    if (serial.empty()) {
        if (reply.serial.empty())
            return;
        serial = reply.serial;
        requestTimer.stop();
        awaiting = Awaiting::Nothing;
        emit serialLearned(serial);
        setStatus(HardStatus::WaitInitStatus);
        sendRequest(Awaiting::InitStatus);
        if (superseded())
            return;
    } else if (status == HardStatus::NotAnswering && !reply.serial.empty()) {
        requestTimer.stop();
        awaiting = Awaiting::Nothing;
        qDebug("Link   : unit answering again");
        if (reply.isStatus)
            preset = -2; // whatever it reports now is shown
        else
            setStatus(HardStatus::Complete);
    }

    if (!reply.isStatus)
        return;
    // Any status reply tells the unit is alive: every request before it is answered.
    if (awaiting == Awaiting::InitStatus || awaiting == Awaiting::Check) {
        requestTimer.stop();
        awaiting = Awaiting::Nothing;
        checkMisses = 0;
    }
    const bool confirming = pending >= 0;
    if (confirming) {
        presetTimer.stop();
        const int confirmed = pending;
        pending = -1; // told below, once the report's lamps are out
        emit presetConfirmed(confirmed, presetSent.elapsed());
    }
    if (!(confirming && superseded()) && reply.preset != preset) {
        if (status != HardStatus::Complete)
            setStatus(HardStatus::Complete);
        // Remembered before the feedback goes out: a failed note opens a box
        // whose loop may deliver the unit's next report, compared with this
        // one. A preset number the unit should not report is shown as none
        // and remembered as nothing reported, so that its next report is
        // acted on whatever it says.
        preset = reply.preset >= -1 && reply.preset < PresetCount ? reply.preset : -2;
        emit presetReported(reply.preset);
    }
    // Unless a press in a box's loop asked for another preset meanwhile.
    if (confirming && pending < 0)
        emit pendingChanged(-1);
}

bool HardwareLink::followPorts()
{
    if (hardPorts->isOpen() || status == HardStatus::NoPort)
        return false;
    setStatus(HardStatus::NoPort);
    return true;
}

void HardwareLink::setStatus(HardStatus next)
{
    status = hardPorts->isOpen() ? next : HardStatus::NoPort;
    if (status == HardStatus::NoPort)
        stopWaiting();
    followIdleCheck();
    emit stateChanged();
}

void HardwareLink::selectPreset(int index)
{
    // The answer time counts from the request, its sending included.
    QElapsedTimer asked;
    asked.start();
    sendMidiHard(makePresetRequest(serial, static_cast<unsigned char>(index)));
    // Confirmed only where the unit can answer: it is addressed by its serial.
    if (confirmMs <= 0 || !takesPresets() || status == HardStatus::NoPort)
        return;
    presetTries = 1;
    presetSent = asked;
    setPending(index);
    // From the latest press: a burst answered once after its last is answered.
    presetTimer.start(int(qMax<qint64>(0, confirmMs - asked.elapsed())));
}

void HardwareLink::sendMidiHard(const ByteVector &message)
{
    try {
        QMidiMessage midiMessage;
        midiMessage.setStatus(0xF0);
        midiMessage.setSysExData(message);
        hardPorts->send(&midiMessage);
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
