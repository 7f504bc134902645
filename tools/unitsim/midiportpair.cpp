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
    if (api == RtMidi::UNIX_JACK)
        openJack(names, sysEx);
    else
        openAlsa(names, sysEx);
}

void MidiPortPair::openAlsa(const Names &names, bool sysEx)
{
    alsaIn = std::make_unique<RtMidiIn>(RtMidi::LINUX_ALSA, names.inClient);
    alsaOut = std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, names.outClient);
    alsaIn->ignoreTypes(!sysEx, true, true);
    alsaIn->setCallback(&MidiPortPair::onMessage, this);
    inListed = names.inClient + ":" + names.inPort;
    outListed = names.outClient + ":" + names.outPort;
    // The output object lists the ports that take input, the input object the others.
    taken = listed(*alsaOut, inListed) || listed(*alsaIn, outListed);
    alsaIn->openVirtualPort(names.inPort);
    alsaOut->openVirtualPort(names.outPort);
}

void MidiPortPair::openJack(const Names &names, bool sysEx)
{
    const std::string outClient =
        names.jackOutClient.empty() ? names.jackClient : names.jackOutClient;
    jackIn = std::make_unique<JackMidiIn>(names.jackClient);
    jackOut = std::make_unique<JackMidiOut>(outClient);
    jackIn->ignoreTypes(!sysEx, true, true);
    jackIn->setCallback(&MidiPortPair::onMessage, this);
    jackIn->openVirtualPort(names.inPort);
    jackOut->openVirtualPort(names.outPort);
    // JACK renames a client whose name is taken, and our client a port whose name is.
    jack_client_t *const in = jackIn->jackClient()->handle();
    jack_client_t *const out = jackOut->jackClient()->handle();
    inListed = std::string(jack_get_client_name(in)) + ":" + names.inPort;
    outListed = std::string(jack_get_client_name(out)) + ":" + names.outPort;
    taken = !jack_port_by_name(in, inListed.c_str()) || !jack_port_by_name(in, outListed.c_str()) ||
            jack_get_client_name(in) != names.jackClient || jack_get_client_name(out) != outClient;
}

MidiPortPair::~MidiPortPair()
{
    // The output first, then the input; on JACK each waits for the graph's announcements.
    jackOut.reset();
    jackIn.reset();
    alsaOut.reset();
    alsaIn.reset();
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
        alsaOut->sendMessage(&bytes);
}

void MidiPortPair::onMessage(double, std::vector<unsigned char> *message, void *pair)
{
    auto *self = static_cast<MidiPortPair *>(pair);
    self->queue.push(self->source, *message);
}
