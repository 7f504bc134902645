#ifndef UNITPAIR_H
#define UNITPAIR_H

#include "portpair.h"
#include "simulatedunit.h"

#include <QStringList>

class HardwareLink;

// A port pair that is open without any MIDI service, until unplugged: what
// is sent on it is kept and, once a link is given, answered by the
// simulated unit after its delay. GUI thread.
class UnitPair : public PortPair
{
public:
    UnitPair();

    bool isOpen() const override { return plugged; }
    void send(QMidiMessage *message) override;
    // The unit's reply reaches the link (while plugged).
    void answer(const ByteVector &reply);
    // The device goes: the pair closes as a real one does.
    void unplug();

    SimulatedUnit unit;
    HardwareLink *link = nullptr;
    // Each message sent, in hexadecimal ("F0 ... F7").
    QStringList sent;

private:
    bool plugged = true;
};

#endif
