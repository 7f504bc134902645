#ifndef JACKMIDIOUT_H
#define JACKMIDIOUT_H

#include "jackmidiclient.h"

#include <RtMidi.h>
#include <jack/ringbuffer.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

// A MIDI output on the process's one JACK client, used like RtMidiOut. Used
// on the owner's thread; JACK's process thread moves the queued messages
// into the port, as many as the port's buffer takes per cycle.
class JackMidiOut : public RtMidi, private JackMidiClient::CycleUser
{
public:
    // Throws RtMidiError when no JACK server answers.
    explicit JackMidiOut(const std::string &clientName);
    ~JackMidiOut() override;

    RtMidi::Api getCurrentApi() { return RtMidi::UNIX_JACK; }
    const std::shared_ptr<JackMidiClient> &client() const { return jack; }

    // Connects to the input port at that position in getPortName's list.
    void openPort(unsigned int portNumber, const std::string &portName) override;
    void openVirtualPort(const std::string &portName) override;
    void closePort() override;
    // As with RtMidi: true after openPort, not for a virtual port.
    bool isPortOpen() const override { return !destination.empty(); }
    unsigned int getPortCount() override;
    std::string getPortName(unsigned int portNumber) override;
    void setErrorCallback(RtMidiErrorCallback, void *) override {}

    // Queues the message for the next cycle. The first message after
    // openPort waits until the new connection is in the graph that JACK's
    // cycles use, as one sent before would reach no one. Throws RtMidiError
    // when the server has stopped or takes nothing for a second.
    void sendMessage(const std::vector<unsigned char> *message);
    void sendMessage(const unsigned char *message, size_t size);

private:
    void registerPort(const std::string &portName);
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
