#ifndef JACKMIDIIN_H
#define JACKMIDIIN_H

#include "jackmidiclient.h"

#include <RtMidi.h>
#include <jack/ringbuffer.h>

#include <memory>
#include <string>
#include <vector>

// A MIDI input on the process's one JACK client, used like RtMidiIn. Opened,
// closed and set up on the owner's thread; JACK's process thread only copies
// the cycle's events into a ring, and the callback runs on the client's
// delivery thread, so a slow callback never holds up JACK's graph.
class JackMidiIn : public RtMidi, private JackMidiClient::CycleUser
{
public:
    // Throws RtMidiError when no JACK server answers.
    explicit JackMidiIn(const std::string &clientName);
    ~JackMidiIn() override;

    RtMidi::Api getCurrentApi() { return RtMidi::UNIX_JACK; }
    const std::shared_ptr<JackMidiClient> &client() const { return jack; }

    // Connects the output port at that position in getPortName's list.
    void openPort(unsigned int portNumber, const std::string &portName) override;
    void openVirtualPort(const std::string &portName) override;
    void closePort() override;
    // As with RtMidi: true after openPort, not for a virtual port.
    bool isPortOpen() const override { return connected; }
    unsigned int getPortCount() override;
    std::string getPortName(unsigned int portNumber) override;
    void setErrorCallback(RtMidiErrorCallback, void *) override {}

    void setCallback(RtMidiIn::RtMidiCallback callback, void *userData);
    void ignoreTypes(bool midiSysex, bool midiTime, bool midiSense);

private:
    void registerPort(const std::string &portName);
    void process(jack_nframes_t frames) override;
    void deliver() override;
    void assemble(const std::vector<unsigned char> &event, uint64_t time);

    std::shared_ptr<JackMidiClient> jack;
    jack_port_t *port = nullptr;
    bool connected = false;
    jack_ringbuffer_t *ring = nullptr;

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
