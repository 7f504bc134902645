#include "rawjackclient.h"

#include <jack/jack.h>

RawJackClient::RawJackClient(const QString &name)
{
    m_client = jack_client_open(name.toUtf8().constData(), JackNoStartServer, nullptr);
    if (m_client && jack_activate(m_client) != 0) {
        jack_client_close(m_client);
        m_client = nullptr;
    }
}

RawJackClient::~RawJackClient()
{
    if (m_client)
        jack_client_close(m_client);
}

QByteArray RawJackClient::addMidiPort(const QByteArray &shortName, bool output)
{
    if (!m_client)
        return QByteArray();
    jack_port_t *port = jack_port_register(m_client, shortName.constData(), JACK_DEFAULT_MIDI_TYPE,
                                           output ? JackPortIsOutput : JackPortIsInput, 0);
    return port ? QByteArray(jack_port_name(port)) : QByteArray();
}

bool RawJackClient::removeMidiPort(const QByteArray &fullName)
{
    jack_port_t *port = m_client ? jack_port_by_name(m_client, fullName.constData()) : nullptr;
    return port && jack_port_unregister(m_client, port) == 0;
}

bool RawJackClient::fillLeaving(int free)
{
    if (!m_client)
        return false;
    // A small server's table runs full after a few dozen ports; the bound only
    // keeps a mistaken server from being filled for ever.
    for (int i = 0; i < 4096; ++i) {
        const QByteArray name = "fill" + QByteArray::number(int(m_fillers.size()));
        jack_port_t *port = jack_port_register(m_client, name.constData(), JACK_DEFAULT_MIDI_TYPE,
                                               JackPortIsInput, 0);
        if (!port)
            break;
        m_fillers.push_back(port);
    }
    if (int(m_fillers.size()) < free || m_fillers.size() >= 4096)
        return false;
    for (int i = 0; i < free; ++i) {
        jack_port_unregister(m_client, m_fillers.back());
        m_fillers.pop_back();
    }
    return true;
}

int RawJackClient::listIndex(const QByteArray &fullName, bool output) const
{
    if (!m_client)
        return -1;
    int found = -1;
    const char **ports = jack_get_ports(m_client, nullptr, JACK_DEFAULT_MIDI_TYPE,
                                        output ? JackPortIsOutput : JackPortIsInput);
    for (int i = 0; ports && ports[i]; ++i) {
        if (fullName == ports[i]) {
            found = i;
            break;
        }
    }
    jack_free(ports);
    return found;
}

int RawJackClient::connectionCount(const QByteArray &fullName) const
{
    jack_port_t *port = m_client ? jack_port_by_name(m_client, fullName.constData()) : nullptr;
    if (!port)
        return -1;
    int count = 0;
    if (const char **peers = jack_port_get_all_connections(m_client, port)) {
        while (peers[count])
            ++count;
        jack_free(peers);
    }
    return count;
}
