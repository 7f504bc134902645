#ifndef MIDIPORTSUPPORT_H
#define MIDIPORTSUPPORT_H

#include <QStringList>
#include <RtMidi.h>

#include <memory>
#include <string>
#include <vector>

class JackMidiClient;

// What the input and the output port objects share in front of the library:
// making a library object where a service exists, listing ports, opening one,
// and the calls that differ between RtMidi's objects and our JACK ones.
namespace MidiPortSupport {

// The API every library object is made with from now on; UNSPECIFIED (the
// default) leaves the choice to the service found. Set once at start-up,
// before any port object exists.
void setPreferredApi(RtMidi::Api api);
RtMidi::Api preferredApi();

// RtMidi's base class cannot be deleted as such; this deletes the object as
// the class it was made as.
struct LibraryDeleter
{
    void operator()(RtMidi *port) const;
};
using LibraryObject = std::unique_ptr<RtMidi, LibraryDeleter>;

// The library object for an input or an output. With a preferred API, that
// service only: ports on another would not be where the user looks for them.
// Without one, the first of RtMidi's services (other than JACK) that lists a
// port, else a port on the process's one JACK client (see JackMidiClient)
// when a JACK server runs, else the first RtMidi service that could be made.
// Null when none.
LibraryObject createInput();
LibraryObject createOutput();

// The JACK client under a library object; null for any other service.
std::shared_ptr<JackMidiClient> jackClient(RtMidi *port);
// The name that the process's JACK client is made with: the application's.
std::string jackClientName();

// Input objects only.
void setCallback(RtMidi *port, RtMidiIn::RtMidiCallback callback, void *userData);
void ignoreTypes(RtMidi *port, bool midiSysex, bool midiTime, bool midiSense);
// Output objects only.
void sendMessage(RtMidi *port, const std::vector<unsigned char> &bytes);

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
