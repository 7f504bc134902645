#include "midiportsupport.h"

#include "jackgraph.h"

#include <QRegularExpression>

#include <algorithm>
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

} // namespace

void setPreferredApi(RtMidi::Api api)
{
    chosenApi = api;
}

RtMidi::Api preferredApi()
{
    return chosenApi;
}

std::vector<RtMidi::Api> serviceApis()
{
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    if (JackGraph::supported()) {
        apis.insert(apis.begin(), RtMidi::UNSPECIFIED);
    } else {
        apis.erase(std::remove(apis.begin(), apis.end(), RtMidi::UNIX_JACK), apis.end());
    }
    return apis;
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
