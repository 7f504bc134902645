#include "midibackendholder.h"

#include "midiservicewatch.h"
#include "nomidibackend.h"

#include <sstream>

MidiBackendHolder::MidiBackendHolder(Factory make, std::function<void()> onLost)
    : make(std::move(make)), onLost(std::move(onLost))
{
    create();
}

MidiBackendHolder::~MidiBackendHolder() = default;

void MidiBackendHolder::create()
{
    watch.reset();
    backend = make();
    if (std::shared_ptr<JackMidiClient> client = backend->jackClient())
        watch = std::make_unique<MidiServiceWatch>(std::move(client), onLost);
}

void MidiBackendHolder::releaseIfLost()
{
    if (watch && watch->lost()) {
        watch.reset();
        backend = std::make_unique<NoMidiBackend>();
    }
}

MidiBackend &MidiBackendHolder::renewed()
{
    if (!backend->usable()) {
        // The old one goes before a new one is made: see JackMidiClient::shared.
        watch.reset();
        backend.reset();
        create();
    }
    return *backend;
}

MidiBackend &MidiBackendHolder::service()
{
    MidiBackend &port = renewed();
    if (!port.usable())
        throw RtMidiError("No MIDI service is available.", RtMidiError::NO_DEVICES_FOUND);
    return port;
}

QStringList MidiBackendHolder::portNames()
{
    MidiBackend &port = renewed();
    QStringList names;
    // The count is asked again before every index: ports may come and go.
    for (unsigned int i = 0; i < port.portCount(); ++i) {
        const std::string name = port.portName(i);
        if (!port.isOwnPort(name))
            names << QString::fromStdString(name);
    }
    return names;
}

QString MidiBackendHolder::openPort(unsigned int index, const std::string &ourName)
{
    MidiBackend &port = service();
    // The index is one of portNames(), which leaves our own ports out.
    unsigned int count = 0;
    unsigned int raw = 0;
    const unsigned int total = port.portCount();
    for (unsigned int i = 0; i < total; ++i) {
        if (port.isOwnPort(port.portName(i)))
            continue;
        if (count++ == index)
            raw = i;
    }
    if (count == 0)
        throw RtMidiError("No MIDI port is present: is a MIDI service (an ALSA sequencer or a "
                          "JACK server) running?",
                          RtMidiError::NO_DEVICES_FOUND);
    if (index >= count) {
        std::ostringstream text;
        text << "The MIDI port number " << index << " does not exist (" << count
             << (count == 1 ? " port is" : " ports are") << " present).";
        throw RtMidiError(text.str(), RtMidiError::INVALID_PARAMETER);
    }
    // Taken first: opening adds our own port, which may shift the list.
    const std::string opened = port.portName(raw);
    port.openPort(raw, ourName);
    return QString::fromStdString(opened);
}
