#include "midiportpair.h"

#include "jackmidiin.h"
#include "jackmidiout.h"
#include "messagequeue.h"

#include <jack/jack.h>

namespace {

// ALSA lists "client:port 128:0", JACK "client:port".
bool listed(RtMidi &lister, const std::string &name)
{
    for (unsigned int i = 0; i < lister.getPortCount(); ++i) {
        const std::string listedName = lister.getPortName(i);
        if (listedName == name || listedName.rfind(name + " ", 0) == 0)
            return true;
    }
    return false;
}

} // namespace

MidiPortPair::MidiPortPair(RtMidi::Api api, const Names &names, bool sysEx, MessageQueue &queue,
                           int source)
    : queue(queue), source(source)
{
    if (api == RtMidi::UNIX_JACK && !names.ownClients)
        openJack(names, sysEx);
    else
        openRtMidi(api, names, sysEx);
}

void MidiPortPair::openRtMidi(RtMidi::Api api, const Names &names, bool sysEx)
{
    rtIn = std::make_unique<RtMidiIn>(api, names.inClient);
    rtOut = std::make_unique<RtMidiOut>(api, names.outClient);
    rtIn->ignoreTypes(!sysEx, true, true);
    rtIn->setCallback(&MidiPortPair::onMessage, this);
    inListed = names.inClient + ":" + names.inPort;
    outListed = names.outClient + ":" + names.outPort;
    // The output object lists the ports that take input, the input object the others.
    taken = listed(*rtOut, inListed) || listed(*rtIn, outListed);
    rtIn->openVirtualPort(names.inPort);
    rtOut->openVirtualPort(names.outPort);
}

void MidiPortPair::openJack(const Names &names, bool sysEx)
{
    jackIn = std::make_unique<JackMidiIn>(names.jackClient);
    jackOut = std::make_unique<JackMidiOut>(names.jackClient);
    jackIn->ignoreTypes(!sysEx, true, true);
    jackIn->setCallback(&MidiPortPair::onMessage, this);
    jackIn->openVirtualPort(names.inPort);
    jackOut->openVirtualPort(names.outPort);
    // JACK renames a client whose name is taken, and our client a port whose name is.
    const std::string client = jack_get_client_name(jackIn->jackClient()->handle());
    inListed = client + ":" + names.inPort;
    outListed = client + ":" + names.outPort;
    taken = !jack_port_by_name(jackIn->jackClient()->handle(), inListed.c_str()) ||
            !jack_port_by_name(jackIn->jackClient()->handle(), outListed.c_str()) ||
            client != names.jackClient;
}

MidiPortPair::~MidiPortPair()
{
    // The output first, then the input; on JACK each waits for the graph's announcements.
    jackOut.reset();
    jackIn.reset();
    rtOut.reset();
    rtIn.reset();
}

std::shared_ptr<JackMidiClient> MidiPortPair::jackClient() const
{
    return jackIn ? jackIn->jackClient() : nullptr;
}

void MidiPortPair::send(const ByteVector &bytes)
{
    if (jackOut)
        jackOut->sendMessage(bytes);
    else
        rtOut->sendMessage(&bytes);
}

void MidiPortPair::onMessage(double, std::vector<unsigned char> *message, void *pair)
{
    auto *self = static_cast<MidiPortPair *>(pair);
    self->queue.push(self->source, *message);
}
