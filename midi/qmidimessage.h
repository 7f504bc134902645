#ifndef QMIDIMESSAGE_H
#define QMIDIMESSAGE_H

#include <QMetaType>
#include <QObject>
#include <vector>

// One MIDI message as decoded fields and as wire bytes. Built on the MIDI
// library's input thread for received messages, on the GUI thread for sent ones.
class QMidiMessage : public QObject
{
    Q_OBJECT
public:
    explicit QMidiMessage(QObject *parent = nullptr);

    int status() const { return statusByte; }
    int channel() const { return channelNumber; }
    int pitch() const { return noteNumber; }
    int velocity() const { return noteVelocity; }
    int control() const { return controlNumber; }
    int value() const { return controlValue; }
    double timeStamp() const { return deltaTime; }
    // Which opening of the port object delivered it (see QMidiIn); 0 for a
    // message built by hand.
    unsigned int opening() const { return openingNumber; }
    void setOpening(unsigned int opening) { openingNumber = opening; }
    std::vector<unsigned char> sysExData() const { return sysEx; }

    QMidiMessage *setStatus(int status);
    QMidiMessage *setPitch(int pitch);
    QMidiMessage *setVelocity(int velocity);
    QMidiMessage *setSysExData(const std::vector<unsigned char> &data);

    // The wire bytes; built from the fields on first use and kept from then on.
    std::vector<unsigned char> rawMessage();

    // Fills the fields from bytes as the MIDI library delivers them. Bytes a
    // status needs but that are missing read as 0.
    void decode(const std::vector<unsigned char> &bytes, double deltaSeconds);

private:
    int statusByte = 0;
    int channelNumber = 1;
    int noteNumber = 0;
    int noteVelocity = 0;
    int controlNumber = 0;
    int controlValue = 0;
    double deltaTime = 0.0;
    unsigned int openingNumber = 0;
    std::vector<unsigned char> sysEx;
    std::vector<unsigned char> wireBytes;
};

Q_DECLARE_METATYPE(QMidiMessage *)

#endif
