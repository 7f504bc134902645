#include "qmidiin.h"

#include "midiportsupport.h"
#include "midiservicewatch.h"
#include "qmidimessage.h"

#include <QDebug>
#include <RtMidi.h>

#include <iostream>
#include <sstream>

QMidiIn::QMidiIn(QObject *parent) : QObject(parent)
{
    connect(this, &QMidiIn::serviceLost, this, &QMidiIn::releaseAfterServiceLoss);
    qRegisterMetaType<QMidiMessage *>("QMidiMessage*");
    createLibraryObject();
}

QMidiIn::~QMidiIn()
{
    // The library object goes first: its end stops the callback, which must
    // never reach a half-destroyed port object.
    midiIn.reset();
}

void QMidiIn::createLibraryObject()
{
    midiIn = MidiPortSupport::createPort<RtMidiIn>(std::string("RtMidi Input Client"), 100u);
    watch.reset();
    if (!midiIn)
        return;
    midiIn->setCallback(&QMidiIn::inputCallback, this);
    midiIn->ignoreTypes(ignoreSysex, ignoreTime, ignoreSense);
    if (midiIn->getCurrentApi() == RtMidi::UNIX_JACK) {
        watch = std::make_unique<MidiServiceWatch>([this] {
            QMetaObject::invokeMethod(this, &QMidiIn::serviceLost, Qt::QueuedConnection);
        });
        watch->watch();
    }
}

void QMidiIn::releaseAfterServiceLoss()
{
    // Clients of a stopped server must all be closed before this process
    // opens any client of a new one, or libjack crashes.
    if (watch && watch->lost()) {
        midiIn.reset();
        watch.reset();
    }
}

void QMidiIn::renewAfterServiceLoss()
{
    if (!midiIn || (watch && watch->lost())) {
        midiIn.reset();
        createLibraryObject();
    } else if (watch) {
        watch->watch(); // a server may have started since the object was made
    }
}

QStringList QMidiIn::portNames()
{
    renewAfterServiceLoss();
    return MidiPortSupport::portNames(midiIn.get());
}

void QMidiIn::openPort(unsigned int index)
{
    renewAfterServiceLoss();
    MidiPortSupport::openPort(midiIn.get(), index, "RtMidi Input");
}

void QMidiIn::openPort(const QString &name)
{
    renewAfterServiceLoss();
    if (!midiIn)
        return;
    for (unsigned int i = 0; i < midiIn->getPortCount(); ++i) {
        if (QString::fromStdString(midiIn->getPortName(i)) == name) {
            openPort(i);
            return;
        }
    }
}

void QMidiIn::openVirtualPort(const QString &name)
{
    renewAfterServiceLoss();
    if (!midiIn)
        throw RtMidiError("No MIDI service is available.", RtMidiError::NO_DEVICES_FOUND);
    midiIn->openVirtualPort(name.toStdString());
}

void QMidiIn::closePort()
{
    if (midiIn)
        midiIn->closePort();
}

bool QMidiIn::isPortOpen() const
{
    return midiIn && !(watch && watch->lost()) && midiIn->isPortOpen();
}

void QMidiIn::ignoreTypes(bool midiSysex, bool midiTime, bool midiSense)
{
    ignoreSysex = midiSysex;
    ignoreTime = midiTime;
    ignoreSense = midiSense;
    if (midiIn)
        midiIn->ignoreTypes(midiSysex, midiTime, midiSense);
}

void QMidiIn::inputCallback(double deltaTime, std::vector<unsigned char> *message, void *userData)
{
    if (!message || message->empty() || !userData)
        return;
    auto *received = new QMidiMessage;
    received->decode(*message, deltaTime);
    qDebug("channel %d", static_cast<int>(message->front()) - 144);
    // Built whole and written in one call: both inputs' threads write here.
    std::ostringstream line;
    for (size_t i = 0; i < message->size(); ++i)
        line << "Byte " << i << " = " << static_cast<int>((*message)[i]) << ", ";
    line << "stamp = " << deltaTime << '\n';
    std::cout << line.str() << std::flush;
    static_cast<QMidiIn *>(userData)->deliverMessage(received);
}

void QMidiIn::deliverMessage(QMidiMessage *message)
{
    message->moveToThread(thread());
    emit midiMessageReceived(message);
    // Queued after the slot calls this emission posted, so every connected
    // slot has read the message before it goes.
    message->deleteLater();
}
