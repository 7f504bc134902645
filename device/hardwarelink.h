#ifndef HARDWARELINK_H
#define HARDWARELINK_H

#include "hardmessages.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class PortPair;
class QMidiMessage;

// The conversation with the unit over its port pair: the serial number learnt
// from the first answer, the init status request, the status replies and the
// preset they report, preset requests and their confirmation, requests asked
// again when unanswered, the link state and the traffic log. GUI thread; MIDI
// input reaches it through the input's queued signal.
class HardwareLink : public QObject
{
    Q_OBJECT
public:
    enum class HardStatus
    {
        NoPort,
        WaitSerial,
        WaitInitStatus,
        Complete,
        // Serial held, but requests go unanswered: polled until it answers.
        NotAnswering
    };

    static constexpr int defaultConfirmTimeout = 300;
    static constexpr int pollInterval = 1000;

    // The link follows its pair: NoPort as soon as an end of it closes.
    explicit HardwareLink(PortPair *ports, QObject *parent = nullptr);

    PortPair *ports() const { return hardPorts; }
    HardStatus hardStatus() const { return status; }
    const ByteVector &hardSerial() const { return serial; }
    // 0 to 5, -1 for none, -2 while the unit has reported nothing.
    int currentPreset() const { return preset; }
    // The preset asked for and not yet confirmed, -1 for none.
    int pendingPreset() const { return pending; }
    // Presets are chosen (buttons, pads) only once the serial number is held.
    bool takesPresets() const;
    // Counts the replies taken up and the serial requests, so that handling
    // interrupted by a nested event loop can tell it has been overtaken.
    quint64 replyCount() const { return replies; }
    // Requests asked again because unanswered, since start.
    int repeatCount() const { return repeats; }

    // Milliseconds a request waits for its answer; 0 sends each request once
    // and confirms nothing.
    void setConfirmTimeout(int ms) { confirmMs = ms; }
    int confirmTimeout() const { return confirmMs; }
    // Seconds between status checks of an idle link; 0 for none.
    void setLinkCheckSeconds(int seconds);

    void requestSerial();
    void requestInitStatus();
    void handleHardReply(const ByteVector &message);
    void selectPreset(int index);
    void sendMidiHard(const ByteVector &message);
    static void logMidiTraffic(const QString &text, bool sent);

public slots:
    void onMidiHardReceive(QMidiMessage *message);

signals:
    // Every change of hardStatus(); the display follows.
    void stateChanged();
    // pendingPreset() changed.
    void pendingChanged(int preset);
    // A preset request answered, with the time from its last sending.
    void presetConfirmed(int preset, qint64 ms);
    // A status reply's preset (zero-based; out of range: none), once per change.
    void presetReported(int preset);
    void serialLearned(const ByteVector &serial);
    // Connected directly: a box shown for it runs its loop inside the send.
    void sendFailed(const QString &text);

private:
    // What the request timer waits for.
    enum class Awaiting
    {
        Nothing,
        Serial,
        InitStatus,
        Check
    };

    // NoPort when an end of the pair is not open; true when that changed the state.
    bool followPorts();
    void setStatus(HardStatus next);
    void setPending(int index);
    void sendRequest(Awaiting what);
    void awaitAnswer(Awaiting what);
    void requestUnanswered();
    void presetUnanswered();
    void notAnswering();
    void idleCheck();
    void stopWaiting();
    void followIdleCheck();

    PortPair *hardPorts;
    HardStatus status = HardStatus::NoPort;
    ByteVector serial;
    int preset = -2;
    quint64 replies = 0;
    int confirmMs = defaultConfirmTimeout;
    int checkSeconds = 0;
    int repeats = 0;

    // Serial, init status and check requests: one at a time.
    QTimer requestTimer;
    Awaiting awaiting = Awaiting::Nothing;
    int requestTries = 0;
    int checkMisses = 0;
    // Preset requests: the deadline counts from the latest.
    QTimer presetTimer;
    int pending = -1;
    int presetTries = 0;
    QElapsedTimer presetSent;
    QTimer checkTimer;
};

#endif
