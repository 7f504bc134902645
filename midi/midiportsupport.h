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

// The API every library object is made with from now on; UNSPECIFIED (the
// default) leaves the choice to the library. Set once at start-up, before any
// port object exists.
void setPreferredApi(RtMidi::Api api);
RtMidi::Api preferredApi();

// The APIs to make a library object with, in turn: the unspecified one, then
// each compiled one. A build without the JACK parts leaves out JACK, and the
// unspecified API too, as the library may pick JACK for it.
std::vector<RtMidi::Api> serviceApis();

// Makes the library object with the preferred API, and only that one: ports
// on another service would not be where the user looks for them. Without a
// preference, the first API of serviceApis that does not throw (an API throws
// when there is no service behind it, e.g. no ALSA sequencer). Null when none
// can be made.
template <class Port, class... Args> std::unique_ptr<Port> createPort(const Args &...args)
{
    if (preferredApi() != RtMidi::UNSPECIFIED) {
        try {
            return std::make_unique<Port>(preferredApi(), args...);
        } catch (const RtMidiError &) {
            return nullptr;
        }
    }
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

// Opens the port at index and returns the name it had in the list. Throws
// RtMidiError when there is no service or the index is not a current port
// (some back ends would otherwise "open" nothing).
std::string openPort(RtMidi *port, unsigned int index, const std::string &portName);

// The present port that a stored name stands for, or an empty text. The name
// itself when present; otherwise the only present name that differs from it
// in nothing but the trailing client and port numbers that ALSA appends
// ("unit:unit MIDI 1 24:0"), which change when a device is replugged.
QString presentName(const QStringList &present, const QString &stored);

} // namespace MidiPortSupport

#endif
