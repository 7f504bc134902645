#include "portopening.h"

#include "midipeer.h"
#include "qmidiin.h"
#include "qmidiout.h"
#include "testwait.h"

#include <RtMidi.h>

namespace PortOpening {

namespace {

constexpr int attempts = 3;

template <class Port, class Count>
bool openAndConfirm(Port &port, const QString &name, Count connections)
{
    for (int attempt = 0; attempt < attempts; ++attempt) {
        const int index = port.portNames().indexOf(name);
        if (index < 0)
            return false;
        const int before = connections();
        try {
            port.openPort(unsigned(index));
        } catch (const RtMidiError &) {
            continue; // the position was gone by then
        }
        if (!port.isPortOpen())
            return false;
        if (TestWait::until([&] { return connections() > before; }, 1000))
            return true;
        port.closePort();
    }
    return false;
}

} // namespace

bool openFrom(QMidiIn &in, MidiPeer &peer)
{
    return openAndConfirm(in, peer.outputPortName(), [&] { return peer.outputConnections(); });
}

bool openTo(QMidiOut &out, MidiPeer &peer)
{
    return openAndConfirm(out, peer.inputPortName(), [&] { return peer.inputConnections(); }) &&
           peer.waitForInputConnection();
}

} // namespace PortOpening
