#include "qmidiout.h"

#include "messagetiming.h"
#include "midibackendholder.h"
#include "midiportsupport.h"
#include "qmidimessage.h"

#include <QDebug>
#include <RtMidi.h>

QMidiOut::QMidiOut(QObject *parent)
    : QObject(parent),
      backendHolder(std::make_unique<MidiBackendHolder<MidiOutputBackend>>(
          [] { return MidiPortSupport::createOutput(); },
          [this] {
              QMetaObject::invokeMethod(this, &QMidiOut::serviceLost, Qt::QueuedConnection);
          }))
{
    connect(this, &QMidiOut::serviceLost, this, [this] { backendHolder->releaseIfLost(); });
}

QMidiOut::~QMidiOut() = default;

QStringList QMidiOut::portNames()
{
    return backendHolder->portNames();
}

void QMidiOut::openPort(unsigned int index)
{
    opened = backendHolder->openPort(index, "RtMidi Output");
}

void QMidiOut::openVirtualPort(const QString &name)
{
    backendHolder->service().openVirtualPort(name.toStdString());
}

void QMidiOut::closePort()
{
    backendHolder->closePort();
}

bool QMidiOut::isPortOpen() const
{
    return backendHolder->isPortOpen();
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
    MessageTiming::sending();
    backendHolder->current().sendMessage(bytes);
}
