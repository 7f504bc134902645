#ifndef JACKMIDIPORT_H
#define JACKMIDIPORT_H

#include "jackmidiclient.h"
#include "midibackend.h"

#include <RtMidi.h>
#include <jack/ringbuffer.h>

#include <cstddef>
#include <memory>
#include <string>

// What an input and an output on the process's one JACK client share: the
// port, its ring, listing and connecting by name, and hearing of the server's
// end. Owner's thread; the subclass's process() runs on JACK's process thread
// and only reads `port` and `ring`.
class JackMidiPort : public virtual MidiBackend, protected JackMidiClient::CycleUser
{
public:
    ~JackMidiPort() override;

    RtMidi::Api api() const override { return RtMidi::UNIX_JACK; }
    bool usable() const override { return !jack->lost(); }
    // onLost runs on JACK's notification thread; it is no longer called once
    // this port is gone.
    void whenLost(std::function<void()> onLost) override;
    // The client it is a port of.
    std::shared_ptr<JackMidiClient> jackClient() const { return jack; }

    // Lists the ports ours can connect to; openPort connects the one at that position.
    unsigned int portCount() override;
    std::string portName(unsigned int index) override;
    bool isOwnPort(const std::string &listed) override { return jack->isPortObjectPort(listed); }
    void openPort(unsigned int index, const std::string &ourName) override;
    void openVirtualPort(const std::string &name) override;
    void closePort() override;
    bool isPortOpen() const override { return !peer.empty(); }

protected:
    // `own` is the way our port carries MIDI. Throws RtMidiError when no
    // JACK server answers.
    JackMidiPort(const std::string &clientName, JackMidiClient::Direction own, size_t ringSize);
    // Owner's thread, just before the port is registered (and takes part in cycles).
    virtual void registering() {}

    std::shared_ptr<JackMidiClient> jack;
    jack_port_t *port = nullptr;
    jack_ringbuffer_t *ring = nullptr;
    std::string peer; // the connected port's name; empty when none

private:
    void registerPort(const std::string &name);
    JackMidiClient::Direction peerDirection() const;

    const JackMidiClient::Direction own;
    int lostListener = 0;
};

#endif
