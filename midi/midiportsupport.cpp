#include "midiportsupport.h"

#include "jackmidiin.h"
#include "jackmidiout.h"

#include <QCoreApplication>

#include <algorithm>
#include <sstream>

namespace MidiPortSupport {

namespace {

bool compiled(RtMidi::Api api)
{
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    return std::find(apis.begin(), apis.end(), api) != apis.end();
}

std::string jackClientName()
{
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? std::string("RtMidi") : name.toStdString();
}

// RtMidi's JACK objects are not used: each would be a JACK client of its own
// (see JackMidiClient).
template <class Library, class Jack, class... Args>
LibraryObject create(const std::string &jackClientName, const Args &...args)
{
    LibraryObject alsa;
    if (compiled(RtMidi::LINUX_ALSA)) {
        try {
            alsa.reset(new Library(RtMidi::LINUX_ALSA, args...));
            if (alsa->getPortCount() > 0)
                return alsa;
        } catch (const RtMidiError &) {
        }
    }
    try {
        return LibraryObject(new Jack(jackClientName));
    } catch (const RtMidiError &) {
    }
    return alsa;
}

} // namespace

LibraryObject createInput()
{
    return create<RtMidiIn, JackMidiIn>(jackClientName(), std::string("RtMidi Input Client"), 100u);
}

LibraryObject createOutput()
{
    return create<RtMidiOut, JackMidiOut>(jackClientName(), std::string("RtMidi Output Client"));
}

void LibraryDeleter::operator()(RtMidi *port) const
{
    if (auto *jackIn = dynamic_cast<JackMidiIn *>(port))
        delete jackIn;
    else if (auto *jackOut = dynamic_cast<JackMidiOut *>(port))
        delete jackOut;
    else if (auto *in = dynamic_cast<RtMidiIn *>(port))
        delete in;
    else
        delete dynamic_cast<RtMidiOut *>(port);
}

std::shared_ptr<JackMidiClient> jackClient(RtMidi *port)
{
    if (auto *in = dynamic_cast<JackMidiIn *>(port))
        return in->client();
    if (auto *out = dynamic_cast<JackMidiOut *>(port))
        return out->client();
    return nullptr;
}

void setCallback(RtMidi *port, RtMidiIn::RtMidiCallback callback, void *userData)
{
    if (auto *jack = dynamic_cast<JackMidiIn *>(port))
        jack->setCallback(callback, userData);
    else if (auto *library = dynamic_cast<RtMidiIn *>(port))
        library->setCallback(callback, userData);
}

void ignoreTypes(RtMidi *port, bool midiSysex, bool midiTime, bool midiSense)
{
    if (auto *jack = dynamic_cast<JackMidiIn *>(port))
        jack->ignoreTypes(midiSysex, midiTime, midiSense);
    else if (auto *library = dynamic_cast<RtMidiIn *>(port))
        library->ignoreTypes(midiSysex, midiTime, midiSense);
}

void sendMessage(RtMidi *port, const std::vector<unsigned char> &bytes)
{
    if (auto *jack = dynamic_cast<JackMidiOut *>(port))
        jack->sendMessage(&bytes);
    else if (auto *library = dynamic_cast<RtMidiOut *>(port))
        library->sendMessage(&bytes);
}

QStringList portNames(RtMidi *port)
{
    QStringList names;
    if (!port)
        return names;
    // The count is asked again before every index: ports may come and go.
    for (unsigned int i = 0; i < port->getPortCount(); ++i)
        names << QString::fromStdString(port->getPortName(i));
    return names;
}

void openPort(RtMidi *port, unsigned int index, const std::string &portName)
{
    if (!port)
        throw RtMidiError("No MIDI service is available.", RtMidiError::NO_DEVICES_FOUND);
    const unsigned int count = port->getPortCount();
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
    port->openPort(index, portName);
}

} // namespace MidiPortSupport
