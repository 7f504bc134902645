#include "qmidiout.h"

#include "midiportsupport.h"
#include "midiservicewatch.h"
#include "qmidimessage.h"

#include <QDebug>
#include <RtMidi.h>

QMidiOut::QMidiOut(QObject *parent) : QObject(parent)
{
    connect(this, &QMidiOut::serviceLost, this, &QMidiOut::releaseAfterServiceLoss);
    createLibraryObject();
}

QMidiOut::~QMidiOut() = default;

void QMidiOut::createLibraryObject()
{
    midiOut = MidiPortSupport::createPort<RtMidiOut>(std::string("RtMidi Output Client"));
    watch.reset();
    if (midiOut && midiOut->getCurrentApi() == RtMidi::UNIX_JACK) {
        watch = std::make_unique<MidiServiceWatch>([this] {
            QMetaObject::invokeMethod(this, &QMidiOut::serviceLost, Qt::QueuedConnection);
        });
        watch->watch();
    }
}

void QMidiOut::releaseAfterServiceLoss()
{
    // Clients of a stopped server must all be closed before this process
    // opens any client of a new one, or libjack crashes.
    if (watch && watch->lost()) {
        midiOut.reset();
        watch.reset();
    }
}

void QMidiOut::renewAfterServiceLoss()
{
    if (!midiOut || (watch && watch->lost())) {
        midiOut.reset();
        createLibraryObject();
    } else if (watch) {
        watch->watch(); // a server may have started since the object was made
    }
}

QStringList QMidiOut::portNames()
{
    renewAfterServiceLoss();
    return MidiPortSupport::portNames(midiOut.get());
}

void QMidiOut::openPort(unsigned int index)
{
    renewAfterServiceLoss();
    MidiPortSupport::openPort(midiOut.get(), index, "RtMidi Output");
}

void QMidiOut::openVirtualPort(const QString &name)
{
    renewAfterServiceLoss();
    if (!midiOut)
        throw RtMidiError("No MIDI service is available.", RtMidiError::NO_DEVICES_FOUND);
    midiOut->openVirtualPort(name.toStdString());
}

void QMidiOut::closePort()
{
    if (midiOut)
        midiOut->closePort();
}

bool QMidiOut::isPortOpen() const
{
    return midiOut && !(watch && watch->lost()) && midiOut->isPortOpen();
}

void QMidiOut::sendMessage(QMidiMessage *message)
{
    if (!message)
        return;
    std::vector<unsigned char> bytes = message->rawMessage();
    if (bytes.empty())
        qDebug("send message (nothing to send)");
    else
        qDebug("send message %d", bytes.front());
    send(bytes);
}

void QMidiOut::sendRawMessage(std::vector<unsigned char> &message)
{
    send(message);
}

void QMidiOut::sendNoteOn(int channel, unsigned char note, unsigned char velocity)
{
    std::vector<unsigned char> bytes{static_cast<unsigned char>(0x90 + channel - 1), note,
                                     velocity};
    send(bytes);
}

void QMidiOut::sendNoteOff(int channel, unsigned char note, unsigned char velocity)
{
    std::vector<unsigned char> bytes{static_cast<unsigned char>(0x80 + channel - 1), note,
                                     velocity};
    send(bytes);
}

void QMidiOut::failSendsWith(const QString &errorText)
{
    sendFailure = errorText.toStdString();
}

void QMidiOut::send(std::vector<unsigned char> &bytes)
{
    // An empty message is nothing to send (the library would index past it).
    if (bytes.empty() || !isPortOpen())
        return;
    if (!sendFailure.empty())
        throw RtMidiError(sendFailure, RtMidiError::DRIVER_ERROR);
    midiOut->sendMessage(&bytes);
}
