#ifndef HARDWARELINK_H
#define HARDWARELINK_H

#include "hardmessages.h"

#include <QObject>

class PortPair;
class QMidiMessage;

// The conversation with the unit over its port pair: the serial number learnt
// from the first answer, the init status request, the status replies and the
// preset they report, preset requests, the link state and the traffic log.
// GUI thread; MIDI input reaches it through the input's queued signal.
class HardwareLink : public QObject
{
    Q_OBJECT
public:
    enum class HardStatus
    {
        NoPort,
        WaitSerial,
        WaitInitStatus,
        Complete
    };

    explicit HardwareLink(QObject *parent = nullptr);

    PortPair *ports() const { return hardPorts; }
    HardStatus hardStatus() const { return status; }
    const ByteVector &hardSerial() const { return serial; }
    // 0 to 5, -1 for none, -2 while the unit has reported nothing.
    int currentPreset() const { return preset; }
    // Presets are chosen (buttons, pads) only once the serial number is held.
    bool takesPresets() const;
    // Counts the replies taken up and the serial requests, so that handling
    // interrupted by a nested event loop can tell it has been overtaken.
    quint64 replyCount() const { return replies; }

    void requestSerial();
    void requestInitStatus();
    void handleHardReply(const ByteVector &message);
    // NoPort when an end of the pair is not open.
    void checkPorts();
    void selectPreset(int index);
    void sendMidiHard(const ByteVector &message);
    static void logMidiTraffic(const QString &text, bool sent);

public slots:
    void onMidiHardReceive(QMidiMessage *message);

signals:
    // The link moved by itself (an answer of the unit); the display follows.
    void stateChanged();
    // A status reply's preset (zero-based; out of range: none), once per change.
    void presetReported(int preset);
    void serialLearned(const ByteVector &serial);
    // Connected directly: a box shown for it runs its loop inside the send.
    void sendFailed(const QString &text);

private:
    void setStatus(HardStatus next);

    PortPair *hardPorts;
    HardStatus status = HardStatus::NoPort;
    ByteVector serial;
    int preset = -2;
    quint64 replies = 0;
};

#endif
