#ifndef MIDIOUTPUTBACKEND_H
#define MIDIOUTPUTBACKEND_H

#include "midibackend.h"

#include <vector>

// A MIDI port that sends MIDI out (QMidiOut's). Owner's thread.
class MidiOutputBackend : public virtual MidiBackend
{
public:
    // Throws RtMidiError.
    virtual void sendMessage(const std::vector<unsigned char> &bytes) = 0;
};

#endif
