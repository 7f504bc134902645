#ifndef QMIDIOUT_H
#define QMIDIOUT_H

#include <QObject>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

class QMidiMessage;
class MidiOutputBackend;
template <class Backend> class MidiBackendHolder;

// One MIDI output port on the service MidiPortSupport chooses. GUI thread only.
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
    // The listed name of the port opened last, while it is open.
    QString openedPortName() const { return isPortOpen() ? opened : QString(); }

    // Sends only while a port is open; otherwise the bytes are dropped, since
    // the library would queue them where nothing ever takes them away.
    void sendMessage(QMidiMessage *message);
    void sendRawMessage(std::vector<unsigned char> &message);
    void sendNoteOn(int channel, unsigned char note, unsigned char velocity);
    void sendNoteOff(int channel, unsigned char note, unsigned char velocity);

    // Sends on JACK never fail, so the error paths of callers could not be
    // exercised; after this, every send on an open port throws RtMidiError
    // with the text, as a failing service would. An empty text ends it.
    void failSendsWith(const QString &errorText);

signals:
    // The MIDI service stopped under an open port (queued to the GUI thread).
    void serviceLost();

private:
    void send(std::vector<unsigned char> &bytes);

    QString opened;
    std::unique_ptr<MidiBackendHolder<MidiOutputBackend>> backendHolder;
    std::string sendFailure;
};

#endif
