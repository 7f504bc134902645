#include "midiservicewatch.h"

#include "jackmidiclient.h"

MidiServiceWatch::MidiServiceWatch(std::shared_ptr<JackMidiClient> client,
                                   std::function<void()> onLost)
    : m_client(std::move(client))
{
    if (m_client && onLost)
        m_listener = m_client->addListener({std::move(onLost), {}});
}

MidiServiceWatch::~MidiServiceWatch()
{
    if (m_client && m_listener)
        m_client->removeListener(m_listener);
}

bool MidiServiceWatch::lost() const
{
    return m_client && m_client->lost();
}
