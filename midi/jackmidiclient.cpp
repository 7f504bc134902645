#include "jackmidiclient.h"

#include "jackgraph.h"

#include <RtMidi.h>

#include <jack/jack.h>
#include <jack/midiport.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <thread>

namespace {

std::mutex sharedMutex;
std::weak_ptr<JackMidiClient> sharedClient;

// libjack's lines while a client opens (its notification thread may add some).
std::mutex linesMutex;
std::string *openLines = nullptr;
// Those of the last open that failed.
std::string lastFailure;

void keepLine(const char *line)
{
    std::lock_guard<std::mutex> lock(linesMutex);
    if (openLines)
        openLines->append(line).append("\n");
    else
        std::fprintf(stderr, "%s\n", line);
}

// As libjack's own would print them.
void printError(const char *line)
{
    std::fprintf(stderr, "%s\n", line);
}

void printInfo(const char *line)
{
    std::fprintf(stdout, "%s\n", line);
    std::fflush(stdout);
}

} // namespace

std::shared_ptr<JackMidiClient> JackMidiClient::shared(const std::string &name)
{
    std::lock_guard<std::mutex> lock(sharedMutex);
    if (std::shared_ptr<JackMidiClient> current = sharedClient.lock())
        return current->lost() ? nullptr : current;
    // While no server runs, every try fails the same way: the lines of a
    // failure are printed once, those of anything else as they come.
    std::string lines;
    {
        std::lock_guard<std::mutex> keep(linesMutex);
        openLines = &lines;
    }
    jack_set_error_function(&keepLine);
    jack_set_info_function(&keepLine);
    std::shared_ptr<JackMidiClient> made(new JackMidiClient(name));
    jack_set_error_function(&printError);
    jack_set_info_function(&printInfo);
    {
        std::lock_guard<std::mutex> keep(linesMutex);
        openLines = nullptr;
    }
    if (made->client || lines != lastFailure)
        std::fputs(lines.c_str(), stderr);
    lastFailure = made->client ? std::string() : lines;
    if (!made->client)
        return nullptr;
    sharedClient = made;
    return made;
}

JackMidiClient::JackMidiClient(const std::string &name)
{
    sem_init(&wake, 0, 0);
    client = JackGraph::openClient(name);
    if (!client)
        return;
    jack_set_process_callback(client, &JackMidiClient::onProcess, this);
    jack_on_shutdown(client, &JackMidiClient::onShutdown, this);
    // Only callbacks set before activation are ever called.
    jack_set_port_registration_callback(client, &JackMidiClient::onPortRegistration, this);
    deliveryThread = std::thread([this] { deliveryLoop(); });
    if (jack_activate(client) != 0) {
        jack_client_close(client);
        client = nullptr;
    }
}

JackMidiClient::~JackMidiClient()
{
    if (deliveryThread.joinable()) {
        stopping.store(true);
        sem_post(&wake);
        deliveryThread.join();
    }
    if (client)
        jack_client_close(client);
    sem_destroy(&wake);
}

int JackMidiClient::addListener(Listener listener)
{
    std::lock_guard<std::mutex> lock(listenerMutex);
    listeners[nextListener] = std::move(listener);
    return nextListener++;
}

void JackMidiClient::removeListener(int id)
{
    std::lock_guard<std::mutex> lock(listenerMutex);
    listeners.erase(id);
}

void JackMidiClient::onPortRegistration(uint32_t id, int registered, void *arg)
{
    auto *self = static_cast<JackMidiClient *>(arg);
    std::lock_guard<std::mutex> lock(self->listenerMutex);
    for (const auto &entry : self->listeners) {
        if (entry.second.port)
            entry.second.port(id, registered != 0);
    }
}

void JackMidiClient::addPort(const std::string &shortName, Direction direction, CycleUser *user,
                             jack_port_t *&port)
{
    if (lost())
        throw RtMidiError("The JACK server has stopped.", RtMidiError::DRIVER_ERROR);
    // Stored before the user joins the cycles: attaching publishes it to them.
    port = registerPort(shortName, direction);
    if (!port)
        throw RtMidiError(std::string("JACK could not make the MIDI ") +
                              (direction == Direction::Input ? "input" : "output") + " port.",
                          RtMidiError::DRIVER_ERROR);
    if (!attach(user)) {
        closePort(port, user);
        port = nullptr;
        throw RtMidiError("Too many MIDI ports are open.", RtMidiError::DRIVER_ERROR);
    }
}

jack_port_t *JackMidiClient::registerPort(const std::string &shortName, Direction direction)
{
    if (!client || lost())
        return nullptr;
    const std::string prefix = std::string(jack_get_client_name(client)) + ":";
    for (int number = 1; number <= maxUsers; ++number) {
        const std::string candidate =
            number == 1 ? shortName : shortName + " " + std::to_string(number);
        if (jack_port_by_name(client, (prefix + candidate).c_str()))
            continue;
        return jack_port_register(
            client, candidate.c_str(), JACK_DEFAULT_MIDI_TYPE,
            direction == Direction::Input ? JackPortIsInput : JackPortIsOutput, 0);
    }
    return nullptr;
}

void JackMidiClient::closePort(jack_port_t *port, CycleUser *user)
{
    awaitAnnouncements();
    detach(user);
    if (!client || !port)
        return;
    const std::string name = jack_port_name(port);
    jack_port_unregister(client, port);
    // PipeWire 1.4 lists the port a while longer; a port opened meanwhile
    // took another name and, about once in fifty, never received MIDI.
    // Bounded, for a server that stalls.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    while (!lost() && jack_port_by_name(client, name.c_str()) &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void JackMidiClient::awaitAnnouncements() const
{
    if (!lost())
        JackGraph::awaitAnnouncements(client);
}

bool JackMidiClient::cyclesStopped()
{
    if (!client || lost())
        return false;
    const jack_nframes_t now = jack_frame_time(client);
    const uint64_t ended = cyclesEnded.load();
    if (ended != endedAtLastLook || lastProgress == 0) {
        endedAtLastLook = ended;
        lastProgress = now;
        return false;
    }
    return jack_nframes_t(now - lastProgress) > jack_get_sample_rate(client) / 2;
}

bool JackMidiClient::attach(CycleUser *user)
{
    for (std::atomic<CycleUser *> &slot : users) {
        CycleUser *empty = nullptr;
        if (slot.compare_exchange_strong(empty, user))
            return true;
    }
    return false;
}

void JackMidiClient::detach(CycleUser *user)
{
    for (std::atomic<CycleUser *> &slot : users) {
        CycleUser *expected = user;
        slot.compare_exchange_strong(expected, nullptr);
    }
    // A cycle that began before may still be using it. A server that stopped
    // runs no cycle, and one that stalls must not hold us for long.
    const uint64_t begun = cyclesBegun.load();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (cyclesEnded.load() < begun && !lost() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    std::lock_guard<std::mutex> lock(deliveryMutex);
}

int JackMidiClient::onProcess(jack_nframes_t frames, void *arg)
{
    auto *self = static_cast<JackMidiClient *>(arg);
    self->cyclesBegun.fetch_add(1);
    for (std::atomic<CycleUser *> &slot : self->users) {
        if (CycleUser *user = slot.load())
            user->process(frames);
    }
    self->cyclesEnded.fetch_add(1);
    return 0;
}

void JackMidiClient::onShutdown(void *arg)
{
    auto *self = static_cast<JackMidiClient *>(arg);
    self->lostFlag.store(true, std::memory_order_release);
    std::lock_guard<std::mutex> lock(self->listenerMutex);
    for (const auto &entry : self->listeners) {
        if (entry.second.lost)
            entry.second.lost();
    }
}

void JackMidiClient::deliveryLoop()
{
    while (!stopping.load()) {
        // Bounded, so that a missed wake-up costs a fraction of a second at most.
        timespec until;
        clock_gettime(CLOCK_REALTIME, &until);
        until.tv_nsec += 200 * 1000 * 1000;
        if (until.tv_nsec >= 1000 * 1000 * 1000) {
            until.tv_nsec -= 1000 * 1000 * 1000;
            ++until.tv_sec;
        }
        sem_timedwait(&wake, &until);
        std::lock_guard<std::mutex> lock(deliveryMutex);
        for (std::atomic<CycleUser *> &slot : users) {
            if (CycleUser *user = slot.load())
                user->deliver();
        }
    }
}

bool JackMidiClient::isPortObjectPort(const std::string &name) const
{
    jack_port_t *port = jack_port_by_name(client, name.c_str());
    if (!port || !jack_port_is_mine(client, port))
        return false;
    const std::string shortName = jack_port_short_name(port);
    return shortName.rfind("RtMidi Input", 0) == 0 || shortName.rfind("RtMidi Output", 0) == 0;
}

std::vector<std::string> JackMidiClient::midiPorts(Direction direction) const
{
    std::vector<std::string> names;
    if (const char **ports =
            jack_get_ports(client, nullptr, JACK_DEFAULT_MIDI_TYPE,
                           direction == Direction::Output ? JackPortIsOutput : JackPortIsInput)) {
        for (const char **name = ports; *name; ++name)
            names.emplace_back(*name);
        jack_free(ports);
    }
    return names;
}
