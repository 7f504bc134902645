#ifndef MIDIPORTPAIR_H
#define MIDIPORTPAIR_H

#include "hardmessages.h"

#include <RtMidi.h>

#include <memory>
#include <string>

class JackMidiClient;
class JackMidiIn;
class JackMidiOut;
class MessageQueue;

// A virtual MIDI input and output. On ALSA each is a library client of its own; on JACK
// both are ports of the process's one client, named after the simulator, unless asked for
// clients of their own. Built and used on the main thread; the input's callback runs on a
// library thread and only queues.
class MidiPortPair
{
public:
    struct Names
    {
        std::string jackClient;          // the JACK client, shared by all pairs
        std::string inClient, outClient; // the ALSA (or RtMidi) clients
        std::string inPort, outPort;
        // On JACK too, RtMidi's clients, one per port (named as on ALSA):
        // a benchmark's devices then run before and after the program in
        // each period, where one client of ours both sends to the program
        // and hears it, a cycle the graph breaks with a period's delay.
        bool ownClients = false;
    };

    // Throws RtMidiError when the API has no working service or a port cannot be made.
    MidiPortPair(RtMidi::Api api, const Names &names, bool sysEx, MessageQueue &queue, int source);
    ~MidiPortPair();
    MidiPortPair(const MidiPortPair &) = delete;
    MidiPortPair &operator=(const MidiPortPair &) = delete;

    void send(const ByteVector &bytes);

    // The ports as a port list shows them.
    std::string inName() const { return inListed; }
    std::string outName() const { return outListed; }
    // Whether another client already had these names when the ports were opened; the service
    // then shows ours under others.
    bool wasTaken() const { return taken; }
    // The JACK client under the ports; null on ALSA.
    std::shared_ptr<JackMidiClient> jackClient() const;

private:
    static void onMessage(double deltaTime, std::vector<unsigned char> *message, void *pair);
    void openRtMidi(RtMidi::Api api, const Names &names, bool sysEx);
    void openJack(const Names &names, bool sysEx);

    MessageQueue &queue;
    int source;
    bool taken = false;
    std::string inListed, outListed;
    std::unique_ptr<RtMidiIn> rtIn;
    std::unique_ptr<RtMidiOut> rtOut;
    std::unique_ptr<JackMidiIn> jackIn;
    std::unique_ptr<JackMidiOut> jackOut;
};

#endif
