#ifndef SOAKDEVICES_H
#define SOAKDEVICES_H

#include "messagequeue.h"
#include "simulatedpads.h"
#include "simulatedunit.h"

#include <chrono>
#include <memory>

class JackMidiClient;
class MidiPortPair;

// The simulator's unit and pad controller, each on ports of its own named as
// the soak's settings file names them, unplugged and plugged back at will;
// what they receive and send is counted. Benchmark main thread; the
// library's input threads only queue.
class SoakDevices
{
public:
    using Clock = std::chrono::steady_clock;

    explicit SoakDevices(const ByteVector &serial);
    ~SoakDevices();

    void plugUnit();
    void unplugUnit();
    // Plugged in again, the controller's lamps are dark until lit.
    void plugPads();
    void unplugPads();
    // Around a JACK server's restart: libjack opens no client of a new
    // server while one of the old is held.
    void unplugAll();
    void plugAll();

    const MidiPortPair &unitPorts() const { return *m_unitPorts; }
    const MidiPortPair &padsPorts() const { return *m_padsPorts; }
    // A pad's note or the foot switch, from the pads.
    void press(const ByteVector &bytes);
    // Handles what has arrived: the unit answers, the pads light.
    void take();
    int wakeFd() { return m_queue.wakeFd(); }
    // The lit pad, -1 for none; whether the unit's preset's pad alone is lit.
    int litPad() const;
    bool lampsShowUnit() const;

    SimulatedUnit unit;
    SimulatedPads pads;
    size_t serialRequests = 0, presetRequests = 0, lampNotes = 0;
    long long unitHeard = 0, unitReplies = 0;
    int lastRequestedIndex = -1;
    Clock::time_point lastRequestTime;

private:
    MessageQueue m_queue;
    std::shared_ptr<JackMidiClient> m_jackClient;
    std::unique_ptr<MidiPortPair> m_unitPorts, m_padsPorts;
};

#endif
