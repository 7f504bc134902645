#ifndef NOMIDIBACKEND_H
#define NOMIDIBACKEND_H

#include "midibackend.h"

// What a port object holds while no MIDI service exists: lists nothing, opens
// nothing, and is never usable, so that the next use looks for a service
// again. Any thread (it has no state).
class NoMidiBackend : public MidiBackend
{
public:
    RtMidi::Api api() const override { return RtMidi::UNSPECIFIED; }
    bool usable() const override { return false; }
    unsigned int portCount() override { return 0; }
    std::string portName(unsigned int) override { return std::string(); }
    void openPort(unsigned int, const std::string &) override {}
    void openVirtualPort(const std::string &) override {}
    void closePort() override {}
    bool isPortOpen() const override { return false; }
};

#endif
