#ifndef MIDIBACKEND_H
#define MIDIBACKEND_H

#include <RtMidi.h>

#include <memory>
#include <string>
#include <vector>

class JackMidiClient;

// One MIDI port on one service, as a port object (QMidiIn, QMidiOut) drives
// it: RtMidi's (RtMidiBackend), ours on JACK (JackMidiIn, JackMidiOut), or
// none (NoMidiBackend). Used on the owner's thread; an input's callback runs
// on the service's thread.
class MidiBackend
{
public:
    virtual ~MidiBackend() = default;

    // The service it is on; RtMidi::UNSPECIFIED for none.
    virtual RtMidi::Api api() const = 0;
    // False when no service is under it (none was found, or its JACK server
    // stopped): it is then to be made anew before its next use.
    virtual bool usable() const { return true; }
    // The JACK client it is a port of; null on any other service.
    virtual std::shared_ptr<JackMidiClient> jackClient() const { return nullptr; }

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

    // Inputs only; an output ignores them.
    virtual void setCallback(RtMidiIn::RtMidiCallback, void *) {}
    virtual void ignoreTypes(bool /*midiSysex*/, bool /*midiTime*/, bool /*midiSense*/) {}
    // Outputs only; an input ignores it. Throws RtMidiError.
    virtual void sendMessage(const std::vector<unsigned char> &) {}
};

#endif
