#ifndef SIMULATEDDEVICE_H
#define SIMULATEDDEVICE_H

#include "messagequeue.h"
#include "midiportpair.h"
#include "simulatedpads.h"
#include "simulatedunit.h"

#include <chrono>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class JackMidiClient;

// A device on a port pair of its own, made of the simulator's parts, for the
// tests, the benchmark and the soak: it records what arrives (each message
// stamped on arrival) and may play the unit (answering as it would) or the
// pad controller (keeping its lamps). It can be unplugged and plugged back;
// on JACK its client stays meanwhile, so its ports keep their names. Made and
// used on one thread; the library's input thread only queues.
class SimulatedDevice
{
public:
    using Clock = std::chrono::steady_clock;
    enum class Role
    {
        Raw,
        Unit,
        Pads
    };

    // The suite's and the benchmark's service: ALSA when TARN_MIDI_SERVICE
    // is "alsa", JACK otherwise.
    static bool onAlsa();
    static RtMidi::Api serviceApi() { return onAlsa() ? RtMidi::LINUX_ALSA : RtMidi::UNIX_JACK; }

    // Opens the ports on the service; throws RtMidiError without one.
    SimulatedDevice(const MidiPortPair::Names &names, Role role, const ByteVector &serial = {});
    ~SimulatedDevice();
    SimulatedDevice(const SimulatedDevice &) = delete;
    SimulatedDevice &operator=(const SimulatedDevice &) = delete;

    void plug();
    // withClient: the JACK client goes too (libjack opens no client of a new
    // server while one of the old is held).
    void unplug(bool withClient = false);
    bool isPlugged() const { return ports != nullptr; }

    // As the program's port lists show them now (on ALSA with the numbers).
    std::string in() const { return inListed; }   // what a program's output opens
    std::string out() const { return outListed; } // what a program's input opens

    // Sends at once, nothing while unplugged; the time just before the send.
    Clock::time_point send(const ByteVector &bytes);
    // Takes what has arrived: records it, the unit answers (a late answer
    // waits for sendDueReplies), the pads light.
    void take();
    // Milliseconds until a late reply is due, -1 for none; sends those due.
    int sendDueReplies();
    // Takes what arrives until count messages are recorded or the time is up.
    bool waitFor(size_t count, std::chrono::milliseconds timeout);
    int wakeFd() const { return queue.wakeFd(); }

    // What arrived since the last clear, in order, and when.
    const std::vector<ByteVector> &messages() const { return received; }
    Clock::time_point arrivalTime(size_t index) const { return times[index]; }
    void clear();

    SimulatedUnit unit;
    SimulatedPads pads;
    // Kept across clear(): the unit's replies sent, the lamp notes taken.
    long long replies = 0, lampNotes = 0;

private:
    MidiPortPair::Names names;
    Role role;
    MessageQueue queue;
    std::shared_ptr<JackMidiClient> client;
    std::unique_ptr<MidiPortPair> ports;
    std::string inListed, outListed;
    std::vector<ByteVector> received;
    std::vector<Clock::time_point> times;
    std::deque<std::pair<Clock::time_point, ByteVector>> lateReplies;
};

#endif
