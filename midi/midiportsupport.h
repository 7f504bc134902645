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

// RtMidi's base class cannot be deleted as such; this deletes the object as
// the class it was made as.
struct LibraryDeleter
{
    void operator()(RtMidi *port) const;
};
using LibraryObject = std::unique_ptr<RtMidi, LibraryDeleter>;

// The library object for an input or an output: RtMidi's ALSA one where the
// ALSA sequencer works and lists a port (the library's own first choice),
// else a port on the process's one JACK client (named after the application)
// when a JACK server runs, else the ALSA one if it could be made. Null when
// none.
LibraryObject createInput();
LibraryObject createOutput();

// The JACK client under a library object; null for any other service.
std::shared_ptr<JackMidiClient> jackClient(RtMidi *port);

// Input objects only.
void setCallback(RtMidi *port, RtMidiIn::RtMidiCallback callback, void *userData);
void ignoreTypes(RtMidi *port, bool midiSysex, bool midiTime, bool midiSense);
// Output objects only.
void sendMessage(RtMidi *port, const std::vector<unsigned char> &bytes);

// The library's port names in index order, as UTF-8 decoded text.
QStringList portNames(RtMidi *port);

// Opens the port at index. Throws RtMidiError when there is no service or the
// index is not a current port (some back ends would otherwise "open" nothing).
void openPort(RtMidi *port, unsigned int index, const std::string &portName);

} // namespace MidiPortSupport

#endif
