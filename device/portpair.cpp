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

QString PortPair::presentName(const QStringList &present, const QString &stored)
{
    return PortNameMatch::presentName(present, stored);
}

bool PortPair::open(const QString &inName, const QString &outName)
{
    if (inName.isEmpty() || outName.isEmpty())
        return false;
    close();
    if (presentName(midiIn->portNames(), inName).isEmpty() ||
        presentName(midiOut->portNames(), outName).isEmpty())
        return false;
    try {
        open(End::In, inName);
        open(End::Out, outName);
    } catch (const RtMidiError &) {
    }
    return isOpen();
}

void PortPair::open(End end, const QString &name)
{
    close(end);
    // Looked up only now: the list may have changed since it was shown.
    const QStringList names = portNames(end);
    const QString present = presentName(names, name);
    if (present.isEmpty())
        throw RtMidiError("The MIDI port \"" + name.toStdString() + "\" is no longer there.",
                          RtMidiError::INVALID_DEVICE);
    const auto index = static_cast<unsigned int>(names.indexOf(present));
    if (end == End::In)
        midiIn->openPort(index);
    else
        midiOut->openPort(index);
}

void PortPair::close(End end)
{
    if (end == End::In && midiIn->isPortOpen())
        midiIn->closePort();
    if (end == End::Out && midiOut->isPortOpen())
        midiOut->closePort();
}

void PortPair::close()
{
    close(End::In);
    close(End::Out);
}
