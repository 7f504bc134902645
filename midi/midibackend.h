#ifndef MIDIBACKEND_H
#define MIDIBACKEND_H

#include <RtMidi.h>

#include <functional>
#include <string>

// What every MIDI port on one service has, whichever way it carries MIDI:
// RtMidi's (RtMidiBackend), ours on JACK (JackMidiPort), or none
// (NoMidiBackend). MidiInputBackend and MidiOutputBackend add each
// direction's part; a port is one of the two. Used on the owner's thread.
class MidiBackend
{
public:
    virtual ~MidiBackend() = default;

    // The service it is on; RtMidi::UNSPECIFIED for none.
    virtual RtMidi::Api api() const = 0;
    // False when no service is under it (none was found, or its JACK server
    // stopped): it is then to be made anew before its next use.
    virtual bool usable() const { return true; }
    // Has onLost called, on a thread of the service's, once the service
    // under it stops; RtMidi's services never tell, so there it does nothing.
    virtual void whenLost(std::function<void()> /*onLost*/) {}

    // The service's ports it could connect to, asked afresh each time: ports
    // come and go. An index past the end has an empty name.
    virtual unsigned int portCount() = 0;
    virtual std::string portName(unsigned int index) = 0;
    // True for a listed port that is a port object's own end of a
    // connection (of this process, on its side): never a device to open.
    virtual bool isOwnPort(const std::string & /*listed*/) { return false; }
    // Connects a port of ours named ourName to the port at index. Throws RtMidiError.
    virtual void openPort(unsigned int index, const std::string &ourName) = 0;
    virtual void openVirtualPort(const std::string &name) = 0;
    virtual void closePort() = 0;
    // True after openPort until closePort; not for a virtual port.
    virtual bool isPortOpen() const = 0;
};

#endif
