#include "portpair.h"

#include "portnamematch.h"
#include "qmidiin.h"
#include "qmidiout.h"

#include <RtMidi.h>

PortPair::PortPair(const char *name, QObject *parent)
    : QObject(parent), pairName(name), midiIn(new QMidiIn(this)), midiOut(new QMidiOut(this))
{
    connect(midiIn, &QMidiIn::serviceLost, this, &PortPair::serviceLost);
    connect(midiOut, &QMidiOut::serviceLost, this, &PortPair::serviceLost);
}

QStringList PortPair::portNames(End end) const
{
    return end == End::In ? midiIn->portNames() : midiOut->portNames();
}

QString PortPair::openedName(End end) const
{
    return end == End::In ? midiIn->openedPortName() : midiOut->openedPortName();
}

bool PortPair::isOpen() const
{
    return midiIn->isPortOpen() && midiOut->isPortOpen();
}

void PortPair::send(QMidiMessage *message)
{
    midiOut->sendMessage(message);
}

void PortPair::settle(bool wasOpen)
{
    if (wasOpen && !isOpen())
        emit closed();
}

QString PortPair::presentName(End end, const QString &stored) const
{
    return match(end, portNames(end), stored);
}

QString PortPair::match(End end, const QStringList &present, const QString &stored) const
{
    // A port that was there beside ours is another device of the same kind
    // (a second unit, the pads on a look-alike cable), not ours renumbered:
    // ours renumbered appears after ours went, or is the only one around when
    // ours was never seen (a device replugged while the program was not
    // running). Names alone tell no more.
    QStringList excluded = listedBeside[end == End::In ? 0 : 1];
    if (reserved)
        excluded += reserved();
    return PortNameMatch::presentName(present, stored, excluded);
}

void PortPair::noteListed()
{
    listedBeside[0] = midiIn->portNames();
    listedBeside[0].removeAll(openedName(End::In));
    listedBeside[1] = midiOut->portNames();
    listedBeside[1].removeAll(openedName(End::Out));
}

bool PortPair::open(const QString &inName, const QString &outName)
{
    if (inName.isEmpty() || outName.isEmpty())
        return false;
    const bool wasOpen = isOpen();
    closeEnd(End::In);
    closeEnd(End::Out);
    if (!presentName(End::In, inName).isEmpty() && !presentName(End::Out, outName).isEmpty()) {
        try {
            open(End::In, inName);
            open(End::Out, outName);
        } catch (const RtMidiError &) {
        }
    }
    settle(wasOpen);
    return isOpen();
}

void PortPair::open(End end, const QString &name)
{
    const bool wasOpen = isOpen();
    closeEnd(end);
    // Looked up only now: the list may have changed since it was shown.
    const QStringList names = portNames(end);
    const QString present = match(end, names, name);
    try {
        if (present.isEmpty())
            throw RtMidiError("The MIDI port \"" + name.toStdString() + "\" is no longer there.",
                              RtMidiError::INVALID_DEVICE);
        const auto index = static_cast<unsigned int>(names.indexOf(present));
        if (end == End::In)
            midiIn->openPort(index);
        else
            midiOut->openPort(index);
    } catch (const RtMidiError &) {
        settle(wasOpen);
        throw;
    }
    listedBeside[end == End::In ? 0 : 1] = names;
    listedBeside[end == End::In ? 0 : 1].removeAll(present);
}

void PortPair::closeEnd(End end)
{
    if (end == End::In && midiIn->isPortOpen())
        midiIn->closePort();
    if (end == End::Out && midiOut->isPortOpen())
        midiOut->closePort();
}

void PortPair::close(End end)
{
    const bool wasOpen = isOpen();
    closeEnd(end);
    settle(wasOpen);
}

void PortPair::close()
{
    const bool wasOpen = isOpen();
    closeEnd(End::In);
    closeEnd(End::Out);
    settle(wasOpen);
}
