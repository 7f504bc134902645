#include "jackportwatch.h"

#include "jackgraph.h"
#include "midiportwatch.h"

#include <jack/jack.h>

namespace {

// JACK names a port by its id in the callbacks; the key must match the one
// taken from a name, so both go through the port handle.
quint64 keyOf(jack_port_t *port)
{
    return JackPortWatch::tag | quint64(reinterpret_cast<quintptr>(port));
}

} // namespace

JackPortWatch::JackPortWatch(MidiPortWatch *watch) : watch(watch) {}

JackPortWatch::~JackPortWatch()
{
    if (client)
        jack_client_close(client);
}

bool JackPortWatch::open()
{
    client = JackGraph::openClient("TarnApp port watch");
    if (!client)
        return false;
    jack_set_port_registration_callback(client, &JackPortWatch::onPort, this);
    jack_on_shutdown(client, &JackPortWatch::onShutdown, this);
    if (jack_activate(client) != 0) {
        jack_client_close(client);
        client = nullptr;
        return false;
    }
    // After activation, so that no port falls between the list and the
    // callbacks; one reported twice is simply known already.
    if (const char **names = jack_get_ports(client, nullptr, JACK_DEFAULT_MIDI_TYPE, 0)) {
        for (const char **name = names; *name; ++name) {
            if (jack_port_t *port = jack_port_by_name(client, *name))
                watch->portAdded(keyOf(port), QString::fromUtf8(*name));
        }
        jack_free(names);
    }
    return true;
}

bool JackPortWatch::lists(const QString &name) const
{
    return jack_port_by_name(client, name.toUtf8().constData()) != nullptr;
}

void JackPortWatch::onPort(unsigned int id, int registered, void *self)
{
    auto *me = static_cast<JackPortWatch *>(self);
    jack_port_t *port = jack_port_by_id(me->client, id);
    if (!port)
        return;
    if (!registered) {
        // The watch remembers the name: the slot may already be reused.
        me->watch->portRemoved(keyOf(port));
        return;
    }
    const char *type = jack_port_type(port);
    if (type && QByteArray(type) == JACK_DEFAULT_MIDI_TYPE)
        me->watch->portAdded(keyOf(port), QString::fromUtf8(jack_port_name(port)));
}

void JackPortWatch::onShutdown(void *self)
{
    auto *me = static_cast<JackPortWatch *>(self);
    me->lost.store(true, std::memory_order_release);
    me->watch->serviceGone(tag);
}
