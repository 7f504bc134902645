// A build without JACK: there is no graph to wait for, and no client.
#include "jackgraph.h"

namespace JackGraph {

void awaitAnnouncements(jack_client_t *) {}

jack_client_t *openClient(const std::string &)
{
    return nullptr;
}

bool supported()
{
    return false;
}

} // namespace JackGraph
