#include "midibackendholder.h"

#include "nomidibackend.h"

#include <sstream>

template <class Backend>
MidiBackendHolder<Backend>::MidiBackendHolder(Factory make, std::function<void()> onLost)
    : make(std::move(make)), onLost(std::move(onLost))
{
    create();
}

template <class Backend> MidiBackendHolder<Backend>::~MidiBackendHolder()
{
    release();
}

template <class Backend> void MidiBackendHolder<Backend>::create()
{
    backend = make();
    backend->whenLost(onLost);
}

template <class Backend> void MidiBackendHolder<Backend>::release()
{
    if (!backend)
        return;
    backend->whenLost({});
    backend.reset();
}

template <class Backend> void MidiBackendHolder<Backend>::releaseIfLost()
{
    if (!backend->usable()) {
        release();
        backend = std::make_unique<NoMidiBackend>();
    }
}

template <class Backend> Backend &MidiBackendHolder<Backend>::renewed()
{
    if (!backend->usable()) {
        // The old one goes before a new one is made: see JackMidiClient::shared.
        release();
        create();
    }
    return *backend;
}

template <class Backend> Backend &MidiBackendHolder<Backend>::service()
{
    Backend &port = renewed();
    if (!port.usable())
        throw RtMidiError("No MIDI service is available.", RtMidiError::NO_DEVICES_FOUND);
    return port;
}

template <class Backend> QStringList MidiBackendHolder<Backend>::portNames()
{
    Backend &port = renewed();
    QStringList names;
    // The count is asked again before every index: ports may come and go.
    for (unsigned int i = 0; i < port.portCount(); ++i) {
        const std::string name = port.portName(i);
        if (!port.isOwnPort(name))
            names << QString::fromStdString(name);
    }
    return names;
}

template <class Backend>
QString MidiBackendHolder<Backend>::openPort(unsigned int index, const std::string &ourName)
{
    Backend &port = service();
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

template class MidiBackendHolder<MidiInputBackend>;
template class MidiBackendHolder<MidiOutputBackend>;
