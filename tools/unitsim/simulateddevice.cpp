#include "simulateddevice.h"

#include "jackmidiclient.h"

#include <cstdlib>
#include <cstring>
#include <poll.h>

namespace {

// ALSA lists a port as "client:port 129:0"; the last one so named is ours.
std::string numbered(RtMidi &lister, const std::string &name)
{
    std::string found = name;
    for (unsigned int i = 0; i < lister.getPortCount(); ++i) {
        const std::string port = lister.getPortName(i);
        if (port.compare(0, name.size() + 1, name + " ") == 0 &&
            port.find_first_not_of("0123456789:", name.size() + 1) == std::string::npos)
            found = port;
    }
    return found;
}

} // namespace

bool SimulatedDevice::onAlsa()
{
    const char *service = std::getenv("TARN_MIDI_SERVICE");
    return service && std::strcmp(service, "alsa") == 0;
}

SimulatedDevice::SimulatedDevice(const MidiPortPair::Names &names, Role role,
                                 const ByteVector &serial)
    : unit(serial), names(names), role(role)
{
    plug();
}

SimulatedDevice::~SimulatedDevice() = default;

void SimulatedDevice::plug()
{
    if (ports)
        return;
    if (!onAlsa() && !names.ownClients && (!client || client->lost())) {
        client.reset();
        client = JackMidiClient::shared(names.jackClient);
    }
    ports = std::make_unique<MidiPortPair>(serviceApi(), names, true, queue, 0);
    unit.opened();
    inListed = ports->inName();
    outListed = ports->outName();
    if (onAlsa()) {
        // Ports that take input are listed by an output, the others by an input.
        RtMidiOut writable(RtMidi::LINUX_ALSA);
        inListed = numbered(writable, inListed);
        RtMidiIn readable(RtMidi::LINUX_ALSA);
        outListed = numbered(readable, outListed);
    }
}

void SimulatedDevice::unplug(bool withClient)
{
    ports.reset();
    if (withClient)
        client.reset();
}

SimulatedDevice::Clock::time_point SimulatedDevice::send(const ByteVector &bytes)
{
    const Clock::time_point now = Clock::now();
    if (ports)
        ports->send(bytes);
    return now;
}

void SimulatedDevice::take()
{
    for (MessageQueue::Entry &entry : queue.takeAll()) {
        received.push_back(entry.bytes);
        times.push_back(entry.time);
        if (role == Role::Pads)
            lampNotes += pads.receive(entry.bytes);
        if (role != Role::Unit)
            continue;
        const SimulatedUnit::Answer answer = unit.receive(entry.bytes);
        if (answer.reply.empty() || !ports)
            continue;
        if (answer.delayMs > 0) {
            lateReplies.emplace_back(Clock::now() + std::chrono::milliseconds(answer.delayMs),
                                     answer.reply);
        } else {
            ports->send(answer.reply);
            ++replies;
        }
    }
}

int SimulatedDevice::sendDueReplies()
{
    while (!lateReplies.empty()) {
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
            lateReplies.front().first - Clock::now());
        if (wait.count() > 0)
            return int(wait.count());
        if (ports) {
            ports->send(lateReplies.front().second);
            ++replies;
        }
        lateReplies.pop_front();
    }
    return -1;
}

bool SimulatedDevice::waitFor(size_t count, std::chrono::milliseconds timeout)
{
    const Clock::time_point end = Clock::now() + timeout;
    for (take(); received.size() < count; take()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
        if (left.count() <= 0)
            return false;
        pollfd wake{queue.wakeFd(), POLLIN, 0};
        poll(&wake, 1, int(left.count()));
    }
    return true;
}

void SimulatedDevice::clear()
{
    take();
    received.clear();
    times.clear();
}
