#include "jackportwatch.h"

#include "jackmidiclient.h"
#include "midiportsupport.h"

#include <jack/jack.h>

namespace {

// The high bits of this service's port keys.
constexpr std::uint64_t jackTag = std::uint64_t(1) << 62;

// JACK names a port by its id in the callbacks; the key must match the one
// taken from a name, so both go through the port handle.
std::uint64_t keyOf(jack_port_t *port)
{
    return std::uint64_t(reinterpret_cast<quintptr>(port));
}

} // namespace

JackPortWatch::JackPortWatch(MidiPortWatch *watch) : ServicePortWatch(watch, jackTag) {}

JackPortWatch::~JackPortWatch()
{
    close();
}

bool JackPortWatch::listen()
{
    jack = JackMidiClient::shared(MidiPortSupport::jackClientName());
    if (!jack)
        return false;
    listener =
        jack->addListener({[this] { serviceGone(); },
                           [this](std::uint32_t id, bool registered) { onPort(id, registered); }});
    // After listening, so that no port falls between the list and the
    // notices; one reported twice is simply known already.
    jack_client_t *client = jack->handle();
    if (const char **names = jack_get_ports(client, nullptr, JACK_DEFAULT_MIDI_TYPE, 0)) {
        for (const char **name = names; *name; ++name) {
            if (jack_port_t *port = jack_port_by_name(client, *name))
                portAdded(keyOf(port), QString::fromUtf8(*name));
        }
        jack_free(names);
    }
    return true;
}

void JackPortWatch::stopListening()
{
    jack->removeListener(listener);
    listener = 0;
    jack.reset();
}

bool JackPortWatch::isAlive() const
{
    return jack && !jack->lost();
}

bool JackPortWatch::lists(const QString &name) const
{
    return jack_port_by_name(jack->handle(), name.toUtf8().constData()) != nullptr;
}

void JackPortWatch::onPort(std::uint32_t id, bool registered)
{
    jack_port_t *port = jack_port_by_id(jack->handle(), id);
    if (!port)
        return;
    if (!registered) {
        // The watch remembers the name: the slot may already be reused.
        portRemoved(keyOf(port));
        return;
    }
    const char *type = jack_port_type(port);
    if (type && QByteArray(type) == JACK_DEFAULT_MIDI_TYPE)
        portAdded(keyOf(port), QString::fromUtf8(jack_port_name(port)));
}
