#include "portchoice.h"

#include "hardwarelink.h"
#include "portpair.h"

#include <RtMidi.h>

PortChoice::PortChoice(HardwareLink *link, PortPair *remotePorts, QObject *parent)
    : QObject(parent), link(link), remotePorts(remotePorts)
{
}

void PortChoice::apply(const Lists &chosen, bool force)
{
    // Set before a later port fails too: the new unit is asked for its serial
    // number all the same.
    bool hardwareReopened = false;
    emit applying();
    try {
        PortPair &hardPorts = *link->ports();
        const auto in = PortPair::End::In;
        const auto out = PortPair::End::Out;
        hardwareReopened |= applyEnd(hardPorts, in, chosen.hardIn, QString(), force);
        hardwareReopened |= applyEnd(hardPorts, out, chosen.hardOut, QString(), force);
        applyEnd(*remotePorts, in, chosen.remoteIn, chosen.hardIn.name, force);
        applyEnd(*remotePorts, out, chosen.remoteOut, chosen.hardOut.name, force);
    } catch (const RtMidiError &error) {
        emit openFailed(QString::fromStdString(error.getMessage()));
    }
    if (hardwareReopened)
        link->requestSerial();
    emit applied();
}

// Brings one end of a pair in line with its list. No port chosen, or the
// unit's own port chosen again as a remote port, closes it; an absent stored
// port is left alone. A port other than the one open (none while closed) is
// opened. True when it was (re)opened.
bool PortChoice::applyEnd(PortPair &pair, PortPair::End end, const List &chosen,
                          const QString &hardwareName, bool force)
{
    if (chosen.name.isEmpty() || chosen.name == hardwareName) {
        pair.close(end);
        return false;
    }
    if (chosen.absent)
        return false;
    if (!force && chosen.name == pair.openedName(end))
        return false;
    pair.open(end, chosen.name);
    return true;
}
