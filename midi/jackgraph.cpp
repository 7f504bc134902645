#include "jackgraph.h"

#include <RtMidi.h>
#include <jack/jack.h>

#include <chrono>
#include <thread>

namespace JackGraph {

void awaitAnnouncements(jack_client_t *client)
{
    if (!client)
        return;
    using Clock = std::chrono::steady_clock;
    // A stalled or dying server must not hold the caller for long.
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(500);
    const jack_nframes_t period = jack_get_buffer_size(client);
    const jack_nframes_t start = jack_last_frame_time(client);
    while (jack_nframes_t(jack_last_frame_time(client) - start) < 2 * period &&
           Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    // Any request that the server answers will do; this one changes nothing.
    if (char *uuid = jack_get_uuid_for_client_name(client, jack_get_client_name(client)))
        jack_free(uuid);
}

void closePorts(jack_client_t *client, std::initializer_list<RtMidi *> ports)
{
    for (RtMidi *port : ports) {
        if (!port)
            continue;
        awaitAnnouncements(client);
        port->closePort();
    }
}

jack_client_t *openClient(const std::string &name)
{
    return jack_client_open(name.c_str(), JackNoStartServer, nullptr);
}

void closeClient(jack_client_t *client)
{
    if (client)
        jack_client_close(client);
}

bool supported()
{
    return true;
}

} // namespace JackGraph
