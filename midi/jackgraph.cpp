#include "jackgraph.h"

#include <jack/jack.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// The wake-up objects of departed clients that this process still maps
// (libjack's are named futexes in shared memory on Linux): their files are
// gone. Device and inode of each.
std::set<std::string> departedWakeUps()
{
    std::set<std::string> found;
#ifdef __linux__
    static const std::string gone = " (deleted)";
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.find("/jack_sem.") == std::string::npos || line.size() < gone.size() ||
            line.compare(line.size() - gone.size(), gone.size(), gone) != 0)
            continue;
        std::istringstream fields(line);
        std::string range, mode, offset, device, inode;
        fields >> range >> mode >> offset >> device >> inode;
        found.insert(device + " " + inode);
    }
#endif
    return found;
}

// libjack (jackd2 1.9.21) forgets a client that leaves while one of ours is
// being opened: the client's notification thread ignores the leaving until
// the opening has mapped its own control block, so the departed client's
// wake-up object stays in the process's table. When our cycle then wakes the
// client that the server put in its place, it wakes the departed object
// instead: that client never runs again, and the whole graph stalls.
// Leavings already on their way are handled within moments; what is still
// mapped after that is such a forgotten one.
bool keepsDepartedWakeUp(jack_client_t *client)
{
    // The server answers in turn: every leaving before this answer has been told.
    if (char *uuid = jack_get_uuid_for_client_name(client, jack_get_client_name(client)))
        jack_free(uuid);
    std::set<std::string> suspects = departedWakeUps();
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(300);
    while (!suspects.empty() && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        const std::set<std::string> now = departedWakeUps();
        for (auto it = suspects.begin(); it != suspects.end();)
            it = now.count(*it) ? std::next(it) : suspects.erase(it);
    }
    return !suspects.empty();
}

// PipeWire's libjack ("... (using PipeWire x.y.z)") has neither race: its
// port removal waits for the client's running notices, and it wakes clients
// through its own protocol, with no process-wide table of wake-up objects.
bool onPipeWire()
{
    static const bool pipeWire = std::strstr(jack_get_version_string(), "PipeWire") != nullptr;
    return pipeWire;
}

} // namespace

namespace JackGraph {

void awaitAnnouncements(jack_client_t *client)
{
    if (!client || onPipeWire())
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

jack_client_t *openClient(const std::string &name)
{
    // Closing the client drops its table (all of it when it is the process's
    // only client), so a new one starts clean.
    for (int attempt = 1;; ++attempt) {
        jack_client_t *client = jack_client_open(name.c_str(), JackNoStartServer, nullptr);
        if (!client || onPipeWire() || !keepsDepartedWakeUp(client))
            return client;
        if (attempt == 5) {
            std::fprintf(stderr,
                         "JACK: %s may stall the graph: libjack kept a departed "
                         "client's wake-up object\n",
                         name.c_str());
            return client;
        }
        jack_client_close(client);
    }
}

} // namespace JackGraph
