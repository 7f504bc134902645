#ifndef JACKMIDIOUT_H
#define JACKMIDIOUT_H

#include "jackmidiport.h"
#include "midioutputbackend.h"

#include <atomic>
#include <string>
#include <vector>

// A MIDI output on the process's one JACK client. Used
// on the owner's thread; JACK's process thread moves the queued messages
// into the port, as many as the port's buffer takes per cycle.
class JackMidiOut : public JackMidiPort, public MidiOutputBackend
{
public:
    // Throws RtMidiError when no JACK server answers.
    explicit JackMidiOut(const std::string &clientName);
    ~JackMidiOut() override;

    void openPort(unsigned int index, const std::string &ourName) override;
    void closePort() override;

    // Queues the message for the next cycle. The first message after
    // openPort waits until the new connection is in the graph that JACK's
    // cycles use, as one sent before would reach no one. Throws RtMidiError
    // when the server has stopped or takes nothing for a second.
    void sendMessage(const std::vector<unsigned char> &message) override;

private:
    void registering() override;
    void awaitConnection();
    void process(jack_nframes_t frames) override;

    bool connectionPending = false;
    std::atomic<bool> silenced{false};
};

#endif
