#ifndef JACKMIDIIN_H
#define JACKMIDIIN_H

#include "jackmidiport.h"
#include "midiinputbackend.h"

#include <cstdint>
#include <string>
#include <vector>

// A MIDI input on the process's one JACK client. Opened,
// closed and set up on the owner's thread; JACK's process thread only copies
// the cycle's events into a ring, and the callback runs on the client's
// delivery thread, so a slow callback never holds up JACK's graph.
class JackMidiIn : public JackMidiPort, public MidiInputBackend
{
public:
    // Throws RtMidiError when no JACK server answers.
    explicit JackMidiIn(const std::string &clientName);
    ~JackMidiIn() override;

    void closePort() override;

    void setCallback(RtMidiIn::RtMidiCallback callback, void *userData) override;
    void ignoreTypes(bool midiSysex, bool midiTime, bool midiSense) override;

private:
    void process(jack_nframes_t frames) override;
    void deliver() override;
    void assemble(const std::vector<unsigned char> &event, uint64_t time);

    // Delivery thread; changed under the client's delivery lock.
    RtMidiIn::RtMidiCallback callback = nullptr;
    void *userData = nullptr;
    bool ignoreSysex = true;
    bool ignoreTime = true;
    bool ignoreSense = true;
    std::vector<unsigned char> message;
    bool continueSysex = false;
    bool firstMessage = true;
    uint64_t lastTime = 0;
};

#endif
