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

    int status() const { return m_status; }
    int channel() const { return m_channel; }
    int pitch() const { return m_pitch; }
    int velocity() const { return m_velocity; }
    int control() const { return m_control; }
    int value() const { return m_value; }
    double timeStamp() const { return m_timeStamp; }
    // Which opening of the port object delivered it (see QMidiIn); 0 for a
    // message built by hand.
    unsigned int opening() const { return m_opening; }
    void setOpening(unsigned int opening) { m_opening = opening; }
    std::vector<unsigned char> sysExData() const { return m_sysExData; }

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
    int m_status = 0;
    int m_channel = 1;
    int m_pitch = 0;
    int m_velocity = 0;
    int m_control = 0;
    int m_value = 0;
    double m_timeStamp = 0.0;
    unsigned int m_opening = 0;
    std::vector<unsigned char> m_sysExData;
    std::vector<unsigned char> m_rawMessage;
};

Q_DECLARE_METATYPE(QMidiMessage *)

#endif
