#include "midiportsupport.h"

#include "jackports.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <sstream>

namespace MidiPortSupport {

namespace {
RtMidi::Api chosenApi = RtMidi::UNSPECIFIED;

// The name without ALSA's trailing " client:port", or an empty text when it has none.
QString withoutAddress(const QString &name)
{
    static const QRegularExpression address(QStringLiteral("^(.+) \\d+:\\d+$"));
    const QRegularExpressionMatch match = address.match(name);
    return match.hasMatch() ? match.captured(1) : QString();
}

template <class Library, class... Args>
LibraryObject create(RtMidi *(*makeJack)(const std::string &), const Args &...args)
{
    const auto library = [&](RtMidi::Api api) {
        try {
            return LibraryObject(new Library(api, args...));
        } catch (const RtMidiError &) {
            return LibraryObject();
        }
    };
    const RtMidi::Api chosen = preferredApi();
    if (chosen == RtMidi::UNIX_JACK)
        return LibraryObject(makeJack(jackClientName()));
    if (chosen != RtMidi::UNSPECIFIED)
        return library(chosen);
    // The library's own choice, but never its JACK objects: each would be a
    // JACK client of its own (see JackMidiClient).
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    LibraryObject fallback;
    for (RtMidi::Api api : apis) {
        if (api == RtMidi::UNIX_JACK || api == RtMidi::RTMIDI_DUMMY)
            continue;
        LibraryObject made = library(api);
        if (made && made->getPortCount() > 0)
            return made;
        if (!fallback)
            fallback = std::move(made);
    }
    if (RtMidi *jack = makeJack(jackClientName()))
        return LibraryObject(jack);
    return fallback;
}

} // namespace

std::string jackClientName()
{
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? std::string("RtMidi") : name.toStdString();
}

void setPreferredApi(RtMidi::Api api)
{
    chosenApi = api;
}

RtMidi::Api preferredApi()
{
    return chosenApi;
}

LibraryObject createInput()
{
    return create<RtMidiIn>(&JackPorts::makeInput, std::string("RtMidi Input Client"), 100u);
}

LibraryObject createOutput()
{
    return create<RtMidiOut>(&JackPorts::makeOutput, std::string("RtMidi Output Client"));
}

void LibraryDeleter::operator()(RtMidi *port) const
{
    if (JackPorts::destroy(port))
        return;
    if (auto *in = dynamic_cast<RtMidiIn *>(port))
        delete in;
    else
        delete dynamic_cast<RtMidiOut *>(port);
}

std::shared_ptr<JackMidiClient> jackClient(RtMidi *port)
{
    return JackPorts::client(port);
}

void setCallback(RtMidi *port, RtMidiIn::RtMidiCallback callback, void *userData)
{
    if (JackPorts::setCallback(port, callback, userData))
        return;
    if (auto *library = dynamic_cast<RtMidiIn *>(port))
        library->setCallback(callback, userData);
}

void ignoreTypes(RtMidi *port, bool midiSysex, bool midiTime, bool midiSense)
{
    if (JackPorts::ignoreTypes(port, midiSysex, midiTime, midiSense))
        return;
    if (auto *library = dynamic_cast<RtMidiIn *>(port))
        library->ignoreTypes(midiSysex, midiTime, midiSense);
}

void sendMessage(RtMidi *port, const std::vector<unsigned char> &bytes)
{
    if (JackPorts::sendMessage(port, bytes))
        return;
    if (auto *library = dynamic_cast<RtMidiOut *>(port))
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

std::string openPort(RtMidi *port, unsigned int index, const std::string &portName)
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
    // Taken first: opening adds our own port, which may shift the list.
    const std::string opened = port->getPortName(index);
    port->openPort(index, portName);
    return opened;
}

QString presentName(const QStringList &present, const QString &stored)
{
    if (stored.isEmpty() || present.contains(stored))
        return stored;
    const QString base = withoutAddress(stored);
    if (base.isEmpty())
        return QString();
    QString found;
    for (const QString &name : present) {
        if (withoutAddress(name) != base || name == found)
            continue;
        if (!found.isEmpty())
            return QString(); // two candidates: neither is taken
        found = name;
    }
    return found;
}

} // namespace MidiPortSupport
