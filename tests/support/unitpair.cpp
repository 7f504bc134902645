#include "unitpair.h"

#include "hardwarelink.h"
#include "peer.h"
#include "qmidimessage.h"

#include <QTimer>

UnitPair::UnitPair() : PortPair("hardware"), unit(Peer::serial) {}

void UnitPair::send(QMidiMessage *message)
{
    if (!plugged)
        return;
    const ByteVector bytes = message->sysExData();
    sent << toHexString(bytes, QLatin1Char(' '));
    const ByteVector reply = link ? unit.receive(bytes).reply : ByteVector();
    if (!reply.empty())
        QTimer::singleShot(unit.delay(), this, [this, reply] { answer(reply); });
}

void UnitPair::answer(const ByteVector &reply)
{
    if (plugged && link)
        link->handleHardReply(reply);
}

void UnitPair::unplug()
{
    plugged = false;
    emit closed();
}
