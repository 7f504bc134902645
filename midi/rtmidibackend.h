#ifndef RTMIDIBACKEND_H
#define RTMIDIBACKEND_H

#include "midibackend.h"

// What a port on one of RtMidi's services (ALSA, CoreMIDI, Windows) does the
// same way in both directions; RtMidiInBackend and RtMidiOutBackend add
// theirs. Owner's thread.
class RtMidiBackend : public virtual MidiBackend
{
public:
    RtMidi::Api api() const override { return service; }
    unsigned int portCount() override { return library.getPortCount(); }
    std::string portName(unsigned int index) override { return library.getPortName(index); }
    bool isOwnPort(const std::string &listed) override;
    void openPort(unsigned int index, const std::string &ourName) override;
    void openVirtualPort(const std::string &name) override { library.openVirtualPort(name); }
    void closePort() override { library.closePort(); }
    bool isPortOpen() const override { return library.isPortOpen(); }

protected:
    // The subclass owns the library object, for as long as this lives.
    RtMidiBackend(RtMidi &library, RtMidi::Api service) : library(library), service(service) {}

private:
    RtMidi &library;
    RtMidi::Api service;
};

#endif
