#ifndef RTMIDIINBACKEND_H
#define RTMIDIINBACKEND_H

#include "midiinputbackend.h"
#include "rtmidibackend.h"

#include <memory>

// An input on one of RtMidi's services. Owner's thread; the callback runs on
// RtMidi's thread.
class RtMidiInBackend : public RtMidiBackend, public MidiInputBackend
{
public:
    explicit RtMidiInBackend(std::unique_ptr<RtMidiIn> made)
        : RtMidiBackend(*made, made->getCurrentApi()), input(std::move(made))
    {
    }

    void setCallback(RtMidiIn::RtMidiCallback callback, void *userData) override
    {
        input->setCallback(callback, userData);
    }
    void ignoreTypes(bool midiSysex, bool midiTime, bool midiSense) override
    {
        input->ignoreTypes(midiSysex, midiTime, midiSense);
    }

private:
    std::unique_ptr<RtMidiIn> input;
};

#endif
