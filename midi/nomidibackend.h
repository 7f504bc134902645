#ifndef NOMIDIBACKEND_H
#define NOMIDIBACKEND_H

#include "midiinputbackend.h"
#include "midioutputbackend.h"

// What a port object holds while no MIDI service exists, in either
// direction: lists nothing, opens nothing, and is never usable, so that the
// next use looks for a service again. Any thread (it has no state).
class NoMidiBackend : public MidiInputBackend, public MidiOutputBackend
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

    void setCallback(RtMidiIn::RtMidiCallback, void *) override {}
    void ignoreTypes(bool, bool, bool) override {}
    void sendMessage(const std::vector<unsigned char> &) override {}
};

#endif
