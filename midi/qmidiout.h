#ifndef QMIDIOUT_H
#define QMIDIOUT_H

#include <QObject>
#include <QStringList>

#include <memory>
#include <vector>

class QMidiMessage;
class RtMidiOut;
class MidiServiceWatch;

// One MIDI output port over the RtMidi library. GUI thread only.
class QMidiOut : public QObject
{
    Q_OBJECT
public:
    explicit QMidiOut(QObject *parent = nullptr);
    ~QMidiOut() override;

    QStringList portNames();
    void openPort(unsigned int index);
    void openVirtualPort(const QString &name);
    void closePort();
    bool isPortOpen() const;

    // Sends only while a port is open; otherwise the bytes are dropped, since
    // the library would queue them where nothing ever takes them away.
    void sendMessage(QMidiMessage *message);
    void sendRawMessage(std::vector<unsigned char> &message);
    void sendNoteOn(int channel, unsigned char note, unsigned char velocity);
    void sendNoteOff(int channel, unsigned char note, unsigned char velocity);

signals:
    // The MIDI service stopped under an open port (queued to the GUI thread).
    void serviceLost();

private:
    void createLibraryObject();
    void renewAfterServiceLoss();
    void send(std::vector<unsigned char> &bytes);

    std::unique_ptr<RtMidiOut> midiOut;
    std::unique_ptr<MidiServiceWatch> watch;
};

#endif
