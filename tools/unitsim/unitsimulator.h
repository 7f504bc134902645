#ifndef UNITSIMULATOR_H
#define UNITSIMULATOR_H

#include "midiportpair.h"
#include "simulatedpads.h"
#include "simulatedunit.h"
#include "simulatoroptions.h"

#include <chrono>
#include <deque>
#include <memory>
#include <string>

class MessageQueue;

// The running simulator: the unit and the optional pad controller (or, switched by a command, a
// foot controller) on their port pairs. Turns queued messages and command lines into replies
// and terminal lines; main thread.
class UnitSimulator
{
public:
    // Opens the ports; throws RtMidiError when the API cannot make them.
    UnitSimulator(const SimulatorOptions &options, RtMidi::Api api, MessageQueue &queue);

    void printPorts();
    // Handles everything the input threads have queued.
    void handleMessages();
    // Handles one command line; false when it asks to quit.
    bool handleCommand(const std::string &line);
    // Says when the MIDI service stops moving or moves again; call now and then.
    void watchService();
    // Milliseconds until a late reply is due, -1 for none; sends those due.
    int sendDueReplies();

private:
    enum Source
    {
        FromUnit,
        FromPads
    };

    void answer(const SimulatedUnit::Answer &answer);
    void send(MidiPortPair &pair, const char *prefix, const ByteVector &bytes);
    void printLampsIfChanged();
    void sayInfo();
    void printPort(const MidiPortPair &pair, bool input, const char *role);
    void plug();
    void unplug();

    SimulatorOptions options;
    RtMidi::Api api;
    MessageQueue &queue;
    SimulatedUnit unit;
    SimulatedPads pads;
    // Null while the devices are unplugged.
    std::unique_ptr<MidiPortPair> unitPorts;
    std::unique_ptr<MidiPortPair> padPorts;
    std::string shownLamps;
    std::string serviceState;
    using Clock = std::chrono::steady_clock;
    // Late replies in the order they are due (one delay for all).
    std::deque<std::pair<Clock::time_point, ByteVector>> lateReplies;
    // The controller's ports play a foot controller instead of the pads.
    bool footController = false;
};

#endif
