#include "jackprobe.h"

#include "jackgraph.h"
#include "midiservice.h"
#include "testwait.h"

#include <jack/jack.h>

#include <unistd.h>

JackProbe::JackProbe()
{
    open();
}

JackProbe::~JackProbe()
{
    close();
}

bool JackProbe::open()
{
    if (client)
        return true;
    const QByteArray name = "probe-" + QByteArray::number(getpid());
    client = JackGraph::openClient(name.toStdString());
    if (!client)
        return false;
    // Connection events come only to an active client, announcements of
    // latencies only to one that takes part in the cycles.
    jack_set_port_connect_callback(client, &JackProbe::onConnect, this);
    jack_set_client_registration_callback(client, &JackProbe::onClient, this);
    jack_set_process_callback(
        client, [](jack_nframes_t, void *) { return 0; }, nullptr);
    jack_set_latency_callback(
        client, [](jack_latency_callback_mode_t mode, void *arg) { onLatency(int(mode), arg); },
        this);
    if (jack_activate(client) != 0)
        close();
    return client != nullptr;
}

void JackProbe::close()
{
    fillers.clear(); // they go with the client
    if (client)
        jack_client_close(client);
    client = nullptr;
}

QStringList JackProbe::connections(const QString &port) const
{
    if (MidiService::isAlsa())
        return MidiService::alsaConnections(port);
    QStringList found;
    jack_port_t *handle = client ? jack_port_by_name(client, port.toUtf8().constData()) : nullptr;
    if (const char **peers = handle ? jack_port_get_all_connections(client, handle) : nullptr) {
        for (int i = 0; peers[i]; ++i)
            found << QString::fromUtf8(peers[i]);
        jack_free(peers);
    }
    return found;
}

bool JackProbe::waitConnected(const QString &port, int timeoutMs) const
{
    return TestWait::until([&] { return !connections(port).isEmpty(); }, timeoutMs);
}

void JackProbe::settle() const
{
    JackGraph::awaitAnnouncements(client);
}

void JackProbe::watch(const QStringList &ports)
{
    std::lock_guard<std::mutex> lock(mutex);
    watched = ports;
    seen.clear();
}

QStringList JackProbe::events() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return seen;
}

void JackProbe::onConnect(unsigned int a, unsigned int b, int connect, void *arg)
{
    auto *self = static_cast<JackProbe *>(arg);
    // The far side may be gone already when a closed port's connection is
    // reported, so only the watched side is named.
    for (jack_port_id_t id : {a, b}) {
        jack_port_t *port = jack_port_by_id(self->client, id);
        const QString name = port ? QString::fromUtf8(jack_port_name(port)) : QString();
        std::lock_guard<std::mutex> lock(self->mutex);
        if (self->watched.contains(name))
            self->seen << (connect ? "+" : "-") + name;
    }
}

void JackProbe::onLatency(int, void *arg)
{
    auto *self = static_cast<JackProbe *>(arg);
    std::lock_guard<std::mutex> lock(self->mutex);
    if (!self->watched.isEmpty())
        self->seen << QStringLiteral("latency");
}

bool JackProbe::fill(int free)
{
    // The suite's server has a small port table; the bound only keeps a
    // mistaken server from being filled for ever.
    while (client && fillers.size() < 4096) {
        const QByteArray name = "fill" + QByteArray::number(int(fillers.size()));
        jack_port_t *port = jack_port_register(client, name.constData(), JACK_DEFAULT_MIDI_TYPE,
                                               JackPortIsInput, 0);
        if (!port)
            break;
        fillers.push_back(port);
    }
    if (int(fillers.size()) < free || fillers.size() >= 4096)
        return false;
    for (int i = 0; i < free; ++i) {
        jack_port_unregister(client, fillers.back());
        fillers.pop_back();
    }
    return true;
}

void JackProbe::unfill()
{
    for (jack_port_t *port : fillers)
        jack_port_unregister(client, port);
    fillers.clear();
}

JackProbe &jackProbe()
{
    static JackProbe probe;
    return probe;
}

QStringList JackProbe::clientsCome() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return clients;
}

void JackProbe::onClient(const char *name, int registered, void *arg)
{
    auto *self = static_cast<JackProbe *>(arg);
    std::lock_guard<std::mutex> lock(self->mutex);
    if (registered)
        self->clients << QString::fromUtf8(name);
}
