#ifndef MIDIPORTSUPPORT_H
#define MIDIPORTSUPPORT_H

#include <QStringList>
#include <RtMidi.h>

#include <memory>
#include <string>
#include <vector>

// What the input and the output port objects share in front of the library:
// making a library object where a service exists, listing ports, opening one.
namespace MidiPortSupport {

// The APIs to make a library object with, in turn: the unspecified one, then
// each compiled one. A build without the JACK parts leaves out JACK, and the
// unspecified API too, as the library may pick JACK for it.
std::vector<RtMidi::Api> serviceApis();

// Makes the library object with the first API of serviceApis that does not
// throw (an API throws when there is no service behind it, e.g. no ALSA
// sequencer). Null when none can be made.
template <class Port, class... Args> std::unique_ptr<Port> createPort(const Args &...args)
{
    for (RtMidi::Api api : serviceApis()) {
        try {
            return std::make_unique<Port>(api, args...);
        } catch (const RtMidiError &) {
        }
    }
    return nullptr;
}

// The library's port names in index order, as UTF-8 decoded text.
QStringList portNames(RtMidi *port);

// Opens the port at index. Throws RtMidiError when there is no service or the
// index is not a current port (some back ends would otherwise "open" nothing).
void openPort(RtMidi *port, unsigned int index, const std::string &portName);

} // namespace MidiPortSupport

#endif
