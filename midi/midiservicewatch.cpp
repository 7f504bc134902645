#include "midiservicewatch.h"

#include "jackgraph.h"

#include <jack/jack.h>

MidiServiceWatch::MidiServiceWatch(std::function<void()> onLost) : m_onLost(std::move(onLost)) {}

MidiServiceWatch::~MidiServiceWatch()
{
    if (m_client)
        jack_client_close(m_client);
}

void MidiServiceWatch::watch()
{
    if (m_client)
        return;
    // The client is never activated: it takes no part in the process cycle and
    // exists only to be told about the server's shutdown.
    m_client = jack_client_open("TarnApp service watch", JackNoStartServer, nullptr);
    if (m_client)
        jack_on_shutdown(m_client, &MidiServiceWatch::onShutdown, this);
}

void MidiServiceWatch::awaitGraphAnnouncements() const
{
    if (m_client && !lost())
        JackGraph::awaitAnnouncements(m_client);
}

void MidiServiceWatch::onShutdown(void *arg)
{
    auto *self = static_cast<MidiServiceWatch *>(arg);
    self->m_lost.store(true, std::memory_order_release);
    if (self->m_onLost)
        self->m_onLost();
}
