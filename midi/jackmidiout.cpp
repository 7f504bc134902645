#include "jackmidiout.h"

#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>

#include <cstring>

#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t ringSize = 64 * 1024;

} // namespace

JackMidiOut::JackMidiOut(const std::string &clientName)
    : JackMidiPort(clientName, JackMidiClient::Direction::Output, ringSize)
{
}

JackMidiOut::~JackMidiOut()
{
    closePort();
}

void JackMidiOut::registering()
{
    silenced.store(false);
}

void JackMidiOut::openPort(unsigned int index, const std::string &ourName)
{
    JackMidiPort::openPort(index, ourName);
    connectionPending = true;
}

void JackMidiOut::closePort()
{
    connectionPending = false;
    // What is still queued goes nowhere; the port sends nothing more.
    if (port)
        silenced.store(true);
    JackMidiPort::closePort();
}

void JackMidiOut::sendMessage(const std::vector<unsigned char> &message)
{
    const size_t size = message.size();
    if (size == 0 || !port)
        return;
    const uint32_t length = static_cast<uint32_t>(size);
    if (sizeof length + size > ringSize - 1)
        throw RtMidiError("The MIDI message is too long to send.", RtMidiError::INVALID_PARAMETER);
    awaitConnection();
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(1);
    while (jack_ringbuffer_write_space(ring) < sizeof length + size) {
        if (jack->lost())
            throw RtMidiError("The JACK server has stopped.", RtMidiError::DRIVER_ERROR);
        if (Clock::now() >= deadline)
            throw RtMidiError("JACK takes no MIDI from this port.", RtMidiError::DRIVER_ERROR);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    jack_ringbuffer_write(ring, reinterpret_cast<const char *>(&length), sizeof length);
    jack_ringbuffer_write(ring, reinterpret_cast<const char *>(message.data()), size);
}

// A connection is made in the graph JACK's cycles will use next; it reaches
// the graph in use at the start of a later cycle, and until then our port's
// data goes to no one. PipeWire 1.4 lists the connection before its link
// carries data (about one first message in twenty was lost), so there the
// port waits two cycles more. Bounded, for a server that stalls.
void JackMidiOut::awaitConnection()
{
    if (!connectionPending)
        return;
    connectionPending = false;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(500);
    while (!jack->lost() && jack_port_connected_to(port, peer.c_str()) == 0 &&
           Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    static const bool listsEarly =
        std::strstr(jack_get_version_string(), "PipeWire 0.") == nullptr &&
        std::strstr(jack_get_version_string(), "PipeWire") != nullptr;
    if (!listsEarly || jack->lost())
        return;
    const jack_nframes_t period = jack_get_buffer_size(jack->handle());
    const jack_nframes_t start = jack_last_frame_time(jack->handle());
    while (!jack->lost() &&
           jack_nframes_t(jack_last_frame_time(jack->handle()) - start) < 2 * period &&
           Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::microseconds(500));
}

void JackMidiOut::process(jack_nframes_t frames)
{
    void *buffer = jack_port_get_buffer(port, frames);
    jack_midi_clear_buffer(buffer);
    if (silenced.load()) {
        jack_ringbuffer_read_advance(ring, jack_ringbuffer_read_space(ring));
        return;
    }
    bool wroteAny = false;
    uint32_t length;
    while (jack_ringbuffer_peek(ring, reinterpret_cast<char *>(&length), sizeof length) ==
               sizeof length &&
           jack_ringbuffer_read_space(ring) >= sizeof length + length) {
        jack_midi_data_t *data = jack_midi_event_reserve(buffer, 0, length);
        if (!data && wroteAny)
            break; // the buffer is full: the rest goes in the next cycle
        jack_ringbuffer_read_advance(ring, sizeof length);
        if (data)
            jack_ringbuffer_read(ring, reinterpret_cast<char *>(data), length);
        else
            jack_ringbuffer_read_advance(ring, length); // never fits, even alone
        wroteAny = wroteAny || data;
    }
}
