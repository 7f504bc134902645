// A build without JACK: there is no graph to wait for, and no client.
#include "jackgraph.h"

#include <RtMidi.h>

namespace JackGraph {

void awaitAnnouncements(jack_client_t *) {}

void closePorts(jack_client_t *, std::initializer_list<RtMidi *> ports)
{
    for (RtMidi *port : ports) {
        if (port)
            port->closePort();
    }
}

jack_client_t *openClient(const std::string &)
{
    return nullptr;
}

void closeClient(jack_client_t *) {}

bool supported()
{
    return false;
}

} // namespace JackGraph
