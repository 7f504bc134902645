#include "midiportsupport.h"

#include "jackgraph.h"

#include <algorithm>
#include <sstream>

namespace MidiPortSupport {

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
