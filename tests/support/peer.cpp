#include "peer.h"

#include "jackprobe.h"
#include "testwait.h"

const ByteVector Peer::serial{0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F, 0x60, 0x71};

namespace {

// On JACK the ports of the process's one client, which the program under
// test may share. A name ending in ALSA's numbers ("twin 24:0") ends the JACK
// ports' names with them ("twin-in 24:0"), as a look-alike cable's ports look
// on ALSA.
MidiPortPair::Names portNames(const QString &name)
{
    const std::string base = name.toStdString();
    const auto split = name.lastIndexOf(' ');
    const bool numbered = !SimulatedDevice::onAlsa() && name.mid(split).contains(':');
    const std::string stem = numbered ? name.left(split).toStdString() : base;
    const std::string numbers = numbered ? name.mid(split).toStdString() : "";
    return {"tarn-tests", base + " In", base + " Out", stem + "-in" + numbers,
            stem + "-out" + numbers};
}

} // namespace

Peer::Peer(const QString &name, Role role)
    : device(portNames(name), SimulatedDevice::Role(role), serial),
      wake(device.wakeFd(), QSocketNotifier::Read)
{
    connect(&wake, &QSocketNotifier::activated, this, &Peer::take);
    lateReply.setSingleShot(true);
    lateReply.setTimerType(Qt::PreciseTimer);
    connect(&lateReply, &QTimer::timeout, this, &Peer::take);
}

Peer::~Peer() = default;

void Peer::plug()
{
    device.plug();
    settled = false;
}

void Peer::send(const ByteVector &bytes)
{
    if (!device.isPlugged())
        return;
    // JACK may drop what is sent in the cycle that makes a connection; ALSA
    // drops what is sent before the program subscribes.
    if (!settled) {
        settled = jackProbe().waitConnected(out());
        jackProbe().settle();
    }
    device.send(bytes);
}

const std::vector<ByteVector> &Peer::received()
{
    take();
    return device.messages();
}

bool Peer::waitFor(int count, int timeoutMs)
{
    return TestWait::until([&] { return int(received().size()) >= count; }, timeoutMs);
}

void Peer::take()
{
    device.take();
    const int due = device.sendDueReplies();
    if (due >= 0)
        lateReply.start(due);
}
