#include "peer.h"

#include "jackmidiclient.h"
#include "jackprobe.h"
#include "midiservice.h"
#include "testwait.h"

#include <QTimer>

const ByteVector Peer::serial{0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F, 0x60, 0x71};

Peer::Peer(const QString &name, Role role)
    : name(name), role(role), wake(queue.wakeFd(), QSocketNotifier::Read)
{
    connect(&wake, &QSocketNotifier::activated, this, &Peer::take);
    plug();
}

Peer::~Peer() = default;

void Peer::plug()
{
    if (ports)
        return;
    const std::string base = name.toStdString();
    // On ALSA two clients of their own; on JACK two ports of the process's
    // one client, which the program under test may share. The device keeps
    // that client while it exists, so that plugged in again it has the names
    // it had (a client made anew could have another name).
    if (!MidiService::isAlsa() && (!client || client->lost())) {
        client.reset();
        client = JackMidiClient::shared("tarn-tests");
    }
    // A name ending in ALSA's numbers ("twin 24:0") ends the JACK ports' names
    // with them ("twin-in 24:0"), as a look-alike cable's ports look on ALSA.
    const auto split = name.lastIndexOf(' ');
    const bool numbered = !MidiService::isAlsa() && name.mid(split).contains(':');
    const std::string stem = numbered ? name.left(split).toStdString() : base;
    const std::string numbers = numbered ? name.mid(split).toStdString() : "";
    ports = std::make_unique<MidiPortPair>(
        MidiService::api(),
        MidiPortPair::Names{"tarn-tests", base + " In", base + " Out", stem + "-in" + numbers,
                            stem + "-out" + numbers},
        true, queue, 0);
    settled = false;
    simulatedUnit.opened();
    // ALSA's names carry the client numbers of this plug-in.
    inName = MidiService::isAlsa() ? MidiService::listed(name + " In:" + name + "-in")
                                   : QString::fromStdString(ports->inName());
    outName = MidiService::isAlsa() ? MidiService::listed(name + " Out:" + name + "-out")
                                    : QString::fromStdString(ports->outName());
}

void Peer::unplug()
{
    ports.reset();
}

void Peer::send(const ByteVector &bytes)
{
    if (!ports)
        return;
    // JACK may drop what is sent in the cycle that makes a connection; ALSA
    // drops what is sent before the program subscribes.
    if (!settled) {
        settled = jackProbe().waitConnected(out());
        jackProbe().settle();
    }
    ports->send(bytes);
}

const std::vector<ByteVector> &Peer::received()
{
    take();
    return messages;
}

bool Peer::waitFor(int count, int timeoutMs)
{
    return TestWait::until([&] { return int(received().size()) >= count; }, timeoutMs);
}

void Peer::clear()
{
    take();
    messages.clear();
}

void Peer::take()
{
    for (MessageQueue::Entry &entry : queue.takeAll()) {
        messages.push_back(entry.bytes);
        if (role == Pads)
            simulatedPads.receive(entry.bytes);
        if (role == Unit) {
            const SimulatedUnit::Answer answer = simulatedUnit.receive(entry.bytes);
            if (answer.reply.empty() || !ports)
                continue;
            if (answer.delayMs == 0)
                ports->send(answer.reply);
            else
                QTimer::singleShot(answer.delayMs, Qt::PreciseTimer, this, [this, answer] {
                    if (ports)
                        ports->send(answer.reply);
                });
        }
    }
}
