#include "jackmidiport.h"

#include <jack/jack.h>

#include <cerrno>
#include <vector>

JackMidiPort::JackMidiPort(const std::string &clientName, JackMidiClient::Direction own,
                           size_t ringSize)
    : jack(JackMidiClient::shared(clientName)), own(own)
{
    if (!jack)
        throw RtMidiError("No JACK server is running.", RtMidiError::NO_DEVICES_FOUND);
    ring = jack_ringbuffer_create(ringSize);
}

// The subclass has closed the port already, so no cycle reads the ring.
JackMidiPort::~JackMidiPort()
{
    if (lostListener)
        jack->removeListener(lostListener);
    jack_ringbuffer_free(ring);
}

void JackMidiPort::whenLost(std::function<void()> onLost)
{
    if (lostListener)
        jack->removeListener(lostListener);
    lostListener = onLost ? jack->addListener({std::move(onLost), {}}) : 0;
}

unsigned int JackMidiPort::portCount()
{
    return static_cast<unsigned int>(jack->midiPorts(peerDirection()).size());
}

std::string JackMidiPort::portName(unsigned int index)
{
    const std::vector<std::string> names = jack->midiPorts(peerDirection());
    return index < names.size() ? names[index] : std::string();
}

// Ours takes MIDI from ports that send it, and sends to ports that take it.
JackMidiClient::Direction JackMidiPort::peerDirection() const
{
    return own == JackMidiClient::Direction::Input ? JackMidiClient::Direction::Output
                                                   : JackMidiClient::Direction::Input;
}

void JackMidiPort::registerPort(const std::string &name)
{
    if (port)
        return;
    jack_ringbuffer_reset(ring);
    registering();
    jack->addPort(name, own, this, port);
}

void JackMidiPort::openPort(unsigned int index, const std::string &ourName)
{
    const std::string other = portName(index);
    if (other.empty())
        throw RtMidiError("The MIDI port number " + std::to_string(index) + " does not exist.",
                          RtMidiError::INVALID_PARAMETER);
    registerPort(ourName);
    const char *ours = jack_port_name(port);
    const int result = own == JackMidiClient::Direction::Input
                           ? jack_connect(jack->handle(), other.c_str(), ours)
                           : jack_connect(jack->handle(), ours, other.c_str());
    if (result != 0 && result != EEXIST) {
        closePort();
        throw RtMidiError("JACK could not connect " + other + ".", RtMidiError::DRIVER_ERROR);
    }
    peer = other;
}

void JackMidiPort::openVirtualPort(const std::string &name)
{
    registerPort(name);
}

void JackMidiPort::closePort()
{
    peer.clear();
    if (!port)
        return;
    jack->closePort(port, this);
    port = nullptr;
}
