#include "portfollower.h"

#include "controllerlink.h"
#include "hardwarelink.h"
#include "portpair.h"
#include "qmidiin.h"
#include "qmidiout.h"

PortFollower::PortFollower(HardwareLink *link, const StoredNames &hardwareNames,
                           ControllerLink *pads, const StoredNames &remoteNames, QObject *parent)
    : QObject(parent), link(link), pads(pads), hardwareNames(hardwareNames),
      remoteNames(remoteNames)
{
    connect(&watch, &MidiPortWatch::portsChanged, this, &PortFollower::recheck);
    // Two cables of one make differ only in their numbers: neither pair takes
    // the other's port for its own renumbered one.
    const auto reservedBy = [](const PortPair *pair, const StoredNames &stored) {
        return [pair, stored] {
            return stored() + QStringList{pair->openedName(PortPair::End::In),
                                          pair->openedName(PortPair::End::Out)};
        };
    };
    link->ports()->setReserved(reservedBy(pads->ports(), remoteNames));
    pads->ports()->setReserved(reservedBy(link->ports(), hardwareNames));
}

void PortFollower::start()
{
    watch.start();
}

void PortFollower::release()
{
    held = false;
    // Queued: OK stores the lists' choices only after applying them.
    QMetaObject::invokeMethod(this, &PortFollower::recheck, Qt::QueuedConnection);
}

void PortFollower::recheck()
{
    if (held)
        return;
    if (checking) {
        checkAgain = true;
        return;
    }
    checking = true;
    do {
        checkAgain = false;
        // A server started since the last look is watched from now on.
        watch.start();
        const QSet<QString> vanished = watch.takeVanished();
        const Change hardware = follow(*link->ports(), hardwareNames(), vanished);
        if (hardware == Change::Opened) {
            link->requestSerial();
            qDebug("Ports  : hardware back");
        }
        const Change remote = follow(*pads->ports(), remoteNames(), vanished);
        if (remote == Change::Opened)
            qDebug("Ports  : remote back");
        if (hardware != Change::None || remote != Change::None)
            emit pairsChanged();
        // The pads show the active preset again at once, when the unit has told it.
        if (remote == Change::Opened)
            pads->relight();
        emit rechecked();
    } while (checkAgain);
    checking = false;
}

PortFollower::Change PortFollower::follow(PortPair &pair, const QStringList &stored,
                                          const QSet<QString> &vanished)
{
    bool gone = false;
    const QStringList ins = pair.portNames(PortPair::End::In);
    const QStringList outs = pair.portNames(PortPair::End::Out);
    if (pair.isOpen()) {
        // Gone, or gone and back before this look: either way our connection went with it.
        const QString inName = pair.openedName(PortPair::End::In);
        const QString outName = pair.openedName(PortPair::End::Out);
        if (ins.contains(inName) && outs.contains(outName) && !vanished.contains(inName) &&
            !vanished.contains(outName)) {
            pair.noteListed();
            return Change::None;
        }
        gone = true;
    }
    // Opened by the stored names only, as at start-up; never touches them.
    const QString inName = pair.presentName(PortPair::End::In, stored.value(0));
    const QString outName = pair.presentName(PortPair::End::Out, stored.value(1));
    const bool back =
        !inName.isEmpty() && !outName.isEmpty() && available(inName) && available(outName);
    if (gone) {
        qDebug("Ports  : %s gone", pair.name());
        // A pair that comes back at once is reopened without being seen closed.
        if (!back)
            pair.close();
    }
    if (!back)
        return gone ? Change::Closed : Change::None;
    return pair.open(stored.value(0), stored.value(1)) ? Change::Opened : Change::Closed;
}

bool PortFollower::available(const QString &name) const
{
    // A listed port whose coming is not announced yet (a JACK client not yet
    // active, or the announcement on its way) is left until it is.
    return watch.isAnnounced(name) && !watch.isGone(name);
}
