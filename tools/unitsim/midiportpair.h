#ifndef MIDIPORTPAIR_H
#define MIDIPORTPAIR_H

#include "hardmessages.h"

#include <RtMidi.h>
#include <string>

class MessageQueue;
typedef struct _jack_client jack_client_t;

// A virtual MIDI input and output, each a library client of its own. Built and used on the
// main thread; the input's callback runs on the library's thread and only queues.
class MidiPortPair
{
public:
    // Throws RtMidiError when the API has no working service or a port cannot be made.
    MidiPortPair(RtMidi::Api api, const std::string &inClient, const std::string &inPort,
                 const std::string &outClient, const std::string &outPort, bool sysEx,
                 MessageQueue &queue, int source);
    ~MidiPortPair();
    MidiPortPair(const MidiPortPair &) = delete;
    MidiPortPair &operator=(const MidiPortPair &) = delete;

    void send(const ByteVector &bytes) { out.sendMessage(&bytes); }

    std::string inName() const { return inClient + ":" + inPort; }
    std::string outName() const { return outClient + ":" + outPort; }
    // Whether another client already had these names when the ports were opened; JACK then
    // renames ours.
    bool wasTaken() const { return taken; }

private:
    static void onMessage(double deltaTime, std::vector<unsigned char> *message, void *pair);

    std::string inClient, inPort, outClient, outPort;
    MessageQueue &queue;
    int source;
    bool taken = false;
    // On JACK, a client of our own that asks the server before a port goes.
    jack_client_t *graphClient = nullptr;
    RtMidiIn in;
    RtMidiOut out;
};

#endif
