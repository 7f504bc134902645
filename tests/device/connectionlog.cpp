#include "connectionlog.h"

#include "testwait.h"

#include <RtMidi.h>
#include <jack/jack.h>

#include <atomic>
#include <unistd.h>

ConnectionLog::ConnectionLog(const QStringList &watchedPorts) : m_watched(watchedPorts)
{
    static std::atomic<int> counter{0};
    const QByteArray name = QStringLiteral("devc-log-%1-%2").arg(getpid()).arg(++counter).toUtf8();
    m_client = jack_client_open(name.constData(), JackNoStartServer, nullptr);
    if (!m_client)
        throw RtMidiError("ConnectionLog: no JACK server answers", RtMidiError::DRIVER_ERROR);
    jack_set_port_connect_callback(m_client, &ConnectionLog::onConnect, this);
    if (jack_activate(m_client) != 0) {
        jack_client_close(m_client);
        throw RtMidiError("ConnectionLog: cannot activate its client", RtMidiError::DRIVER_ERROR);
    }
}

ConnectionLog::~ConnectionLog()
{
    jack_deactivate(m_client);
    jack_client_close(m_client);
}

void ConnectionLog::onConnect(unsigned int portA, unsigned int portB, int connect, void *arg)
{
    auto *self = static_cast<ConnectionLog *>(arg);
    // The program's side may already be gone when a closed port's connection
    // is reported, so only the watched side is named.
    for (jack_port_id_t id : {portA, portB}) {
        jack_port_t *port = jack_port_by_id(self->m_client, id);
        const QString name = port ? QString::fromUtf8(jack_port_name(port)) : QString();
        if (self->m_watched.contains(name)) {
            std::lock_guard<std::mutex> lock(self->m_mutex);
            self->m_events << (connect ? "+" : "-") + name;
        }
    }
}

QStringList ConnectionLog::events() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_events;
}

void ConnectionLog::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_events.clear();
}

bool ConnectionLog::waitForEvents(int count, int timeoutMs)
{
    return TestWait::until([&] { return events().size() >= count; }, timeoutMs);
}
