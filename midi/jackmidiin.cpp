#include "jackmidiin.h"

#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>

#include <cstdio>

namespace {

struct EventHeader
{
    uint32_t size;
    uint64_t time; // microseconds, JACK's clock
};

// Enough for several cycles of a full port buffer of short messages.
constexpr size_t ringSize = 256 * 1024;

} // namespace

JackMidiIn::JackMidiIn(const std::string &clientName)
    : JackMidiPort(clientName, JackMidiClient::Direction::Input, ringSize)
{
}

JackMidiIn::~JackMidiIn()
{
    closePort();
}

void JackMidiIn::closePort()
{
    const bool hadPort = port != nullptr;
    JackMidiPort::closePort();
    if (!hadPort)
        return;
    std::lock_guard<std::mutex> lock(jack->deliveryLock());
    continueSysex = false;
    message.clear();
}

void JackMidiIn::setCallback(RtMidiIn::RtMidiCallback function, void *data)
{
    std::lock_guard<std::mutex> lock(jack->deliveryLock());
    callback = function;
    userData = data;
}

void JackMidiIn::ignoreTypes(bool midiSysex, bool midiTime, bool midiSense)
{
    std::lock_guard<std::mutex> lock(jack->deliveryLock());
    ignoreSysex = midiSysex;
    ignoreTime = midiTime;
    ignoreSense = midiSense;
}

void JackMidiIn::process(jack_nframes_t frames)
{
    void *buffer = jack_port_get_buffer(port, frames);
    const jack_nframes_t cycleStart = jack_last_frame_time(jack->handle());
    const uint32_t count = jack_midi_get_event_count(buffer);
    bool queued = false;
    for (uint32_t i = 0; i < count; ++i) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, buffer, i) != 0 || event.size == 0)
            continue;
        const EventHeader header{static_cast<uint32_t>(event.size),
                                 jack_frames_to_time(jack->handle(), cycleStart + event.time)};
        // What does not fit is dropped, as a full port buffer drops it.
        if (jack_ringbuffer_write_space(ring) < sizeof header + event.size)
            break;
        jack_ringbuffer_write(ring, reinterpret_cast<const char *>(&header), sizeof header);
        jack_ringbuffer_write(ring, reinterpret_cast<const char *>(event.buffer), event.size);
        queued = true;
    }
    if (queued)
        jack->wakeDelivery();
}

void JackMidiIn::deliver()
{
    EventHeader header;
    std::vector<unsigned char> event;
    while (jack_ringbuffer_peek(ring, reinterpret_cast<char *>(&header), sizeof header) ==
               sizeof header &&
           jack_ringbuffer_read_space(ring) >= sizeof header + header.size) {
        jack_ringbuffer_read_advance(ring, sizeof header);
        event.resize(header.size);
        jack_ringbuffer_read(ring, reinterpret_cast<char *>(event.data()), header.size);
        assemble(event, header.time);
    }
}

// Joins SysEx split over several events and filters as RtMidi does. Within
// an event, as MIDI has it, any status byte but a real-time one ends a SysEx:
// the part whose F7 never came is dropped and what ended it delivered. An
// event that begins with a status byte comes between a SysEx's parts when the
// service merges several sources or hands a SysEx over in short events
// (PipeWire 1.4 does, 7 bytes at most): it is a message of its own, and the
// SysEx goes on with the next part. Only a new SysEx drops one whose F7 never
// came (a device stopped mid-message, the service cut it at its size limit),
// so such a part is never glued onto anything and never delivered.
void JackMidiIn::assemble(const std::vector<unsigned char> &event, uint64_t time)
{
    double delta = firstMessage ? 0.0 : double(time - lastTime) * 0.000001;
    firstMessage = false;
    lastTime = time;
    const auto pass = [&](std::vector<unsigned char> &bytes) {
        const unsigned char status = bytes.front();
        const bool ignored = status == 0xF0                     ? ignoreSysex
                             : status == 0xF1 || status == 0xF8 ? ignoreTime
                                                                : status == 0xFE && ignoreSense;
        if (!ignored && callback)
            callback(delta, &bytes, userData);
        delta = 0.0;
    };
    const auto drop = [&] {
        std::fprintf(stderr, "JACK MIDI in: %zu bytes of a SysEx without its F7 dropped\n",
                     message.size());
        continueSysex = false;
    };
    auto next = event.begin();
    if (continueSysex && (*next < 0x80 || *next >= 0xF7)) { // a part, an F7 or a real-time byte
        std::vector<unsigned char> realTime(1); // between a SysEx's parts, a message of its own
        for (; continueSysex && next != event.end(); ++next) {
            if (*next >= 0xF8) {
                realTime[0] = *next;
                pass(realTime);
            } else if (*next < 0x80 || *next == 0xF7) {
                message.push_back(*next);
                continueSysex = *next != 0xF7;
                if (!continueSysex)
                    pass(message);
            } else {
                drop();
                break;
            }
        }
        if (next == event.end())
            return;
    } else if (continueSysex && *next == 0xF0) {
        drop();
    } else if (continueSysex) {
        std::vector<unsigned char> between(next, event.end());
        pass(between);
        return;
    }
    message.assign(next, event.end());
    continueSysex = message.front() == 0xF0 && message.back() != 0xF7;
    if (!continueSysex)
        pass(message);
}
