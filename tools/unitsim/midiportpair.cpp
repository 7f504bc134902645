#include "midiportpair.h"

#include "jackgraph.h"
#include "messagequeue.h"

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

MidiPortPair::MidiPortPair(RtMidi::Api api, const std::string &inClient, const std::string &inPort,
                           const std::string &outClient, const std::string &outPort, bool sysEx,
                           MessageQueue &queue, int source)
    : inClient(inClient), inPort(inPort), outClient(outClient), outPort(outPort), queue(queue),
      source(source), in(api, inClient), out(api, outClient)
{
    in.ignoreTypes(!sysEx, true, true);
    in.setCallback(&MidiPortPair::onMessage, this);
    // The output object lists the ports that take input, the input object the others.
    taken = listed(out, inName()) || listed(in, outName());
    in.openVirtualPort(inPort);
    out.openVirtualPort(outPort);
    if (api == RtMidi::UNIX_JACK)
        graphClient = JackGraph::openClient(inClient + "-q");
}

MidiPortPair::~MidiPortPair()
{
    // libjack can crash when a port goes while a graph change is being
    // announced; each port waits until that is over.
    JackGraph::closePorts(graphClient, {&out, &in});
    JackGraph::closeClient(graphClient);
}

void MidiPortPair::onMessage(double, std::vector<unsigned char> *message, void *pair)
{
    auto *self = static_cast<MidiPortPair *>(pair);
    self->queue.push(self->source, *message);
}
