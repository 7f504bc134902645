#ifndef JACKMIDIOUT_H
#define JACKMIDIOUT_H

#include "jackmidiclient.h"
#include "midibackend.h"

#include <RtMidi.h>
#include <jack/ringbuffer.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

// A MIDI output on the process's one JACK client. Used
// on the owner's thread; JACK's process thread moves the queued messages
// into the port, as many as the port's buffer takes per cycle.
class JackMidiOut : public MidiBackend, private JackMidiClient::CycleUser
{
public:
    // Throws RtMidiError when no JACK server answers.
    explicit JackMidiOut(const std::string &clientName);
    ~JackMidiOut() override;

    RtMidi::Api api() const override { return RtMidi::UNIX_JACK; }
    bool usable() const override { return !jack->lost(); }
    std::shared_ptr<JackMidiClient> jackClient() const override { return jack; }

    // Lists the ports that take MIDI; openPort connects to the one at that position.
    unsigned int portCount() override;
    std::string portName(unsigned int index) override;
    bool isOwnPort(const std::string &listed) override { return jack->isPortObjectPort(listed); }
    void openPort(unsigned int index, const std::string &ourName) override;
    void openVirtualPort(const std::string &name) override;
    void closePort() override;
    bool isPortOpen() const override { return !destination.empty(); }

    // Queues the message for the next cycle. The first message after
    // openPort waits until the new connection is in the graph that JACK's
    // cycles use, as one sent before would reach no one. Throws RtMidiError
    // when the server has stopped or takes nothing for a second.
    void sendMessage(const std::vector<unsigned char> &message) override;

private:
    void registerPort(const std::string &name);
    void awaitConnection();
    void process(jack_nframes_t frames) override;

    std::shared_ptr<JackMidiClient> jack;
    jack_port_t *port = nullptr;
    std::string destination; // the connected port's name; empty when none
    bool connectionPending = false;
    jack_ringbuffer_t *ring = nullptr;
    std::atomic<bool> silenced{false};
};

#endif
