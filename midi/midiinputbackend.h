#ifndef MIDIINPUTBACKEND_H
#define MIDIINPUTBACKEND_H

#include "midibackend.h"

// A MIDI port that takes MIDI in (QMidiIn's): the callback runs on the
// service's thread with each message, filtered as ignoreTypes says.
class MidiInputBackend : public virtual MidiBackend
{
public:
    virtual void setCallback(RtMidiIn::RtMidiCallback callback, void *userData) = 0;
    virtual void ignoreTypes(bool midiSysex, bool midiTime, bool midiSense) = 0;
};

#endif
