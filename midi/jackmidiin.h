#ifndef JACKMIDIIN_H
#define JACKMIDIIN_H

#include "jackmidiclient.h"
#include "midibackend.h"

#include <RtMidi.h>
#include <jack/ringbuffer.h>

#include <memory>
#include <string>
#include <vector>

// A MIDI input on the process's one JACK client. Opened,
// closed and set up on the owner's thread; JACK's process thread only copies
// the cycle's events into a ring, and the callback runs on the client's
// delivery thread, so a slow callback never holds up JACK's graph.
class JackMidiIn : public MidiBackend, private JackMidiClient::CycleUser
{
public:
    // Throws RtMidiError when no JACK server answers.
    explicit JackMidiIn(const std::string &clientName);
    ~JackMidiIn() override;

    RtMidi::Api api() const override { return RtMidi::UNIX_JACK; }
    bool usable() const override { return !jack->lost(); }
    std::shared_ptr<JackMidiClient> jackClient() const override { return jack; }

    // Lists the ports that send MIDI; openPort connects the one at that position.
    unsigned int portCount() override;
    std::string portName(unsigned int index) override;
    bool isOwnPort(const std::string &listed) override { return jack->isPortObjectPort(listed); }
    void openPort(unsigned int index, const std::string &ourName) override;
    void openVirtualPort(const std::string &name) override;
    void closePort() override;
    bool isPortOpen() const override { return connected; }

    void setCallback(RtMidiIn::RtMidiCallback callback, void *userData) override;
    void ignoreTypes(bool midiSysex, bool midiTime, bool midiSense) override;

private:
    void registerPort(const std::string &name);
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
