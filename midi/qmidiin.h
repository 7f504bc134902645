#ifndef QMIDIIN_H
#define QMIDIIN_H

#include <QObject>
#include <QStringList>

#include <atomic>
#include <memory>
#include <vector>

class QMidiMessage;
class MidiInputBackend;
template <class Backend> class MidiBackendHolder;

// One MIDI input port on the service MidiPortSupport chooses. Lives on the
// GUI thread; the service calls inputCallback on its own input thread, and
// each message reaches the GUI thread through the queued midiMessageReceived
// signal.
class QMidiIn : public QObject
{
    Q_OBJECT
public:
    explicit QMidiIn(QObject *parent = nullptr);
    ~QMidiIn() override;

    QStringList portNames();
    void openPort(unsigned int index);
    void openVirtualPort(const QString &name);
    void closePort();
    bool isPortOpen() const;
    // The listed name of the port opened last, while it is open.
    QString openedPortName() const { return isPortOpen() ? opened : QString(); }
    // False for a message that the library delivered before the port was
    // last opened or closed: it still belongs to the previous connection.
    bool isFromCurrentOpening(const QMidiMessage *message) const;
    void ignoreTypes(bool midiSysex, bool midiTime, bool midiSense);

    static void inputCallback(double deltaTime, std::vector<unsigned char> *message,
                              void *userData);
    void deliverMessage(QMidiMessage *message);

signals:
    void midiMessageReceived(QMidiMessage *message);
    // The MIDI service stopped under an open port (queued to the GUI thread).
    void serviceLost();

private:
    std::unique_ptr<MidiInputBackend> makeBackend();

    // Kept so that a back end made anew filters as the last one did.
    bool ignoreSysex = true;
    bool ignoreTime = true;
    bool ignoreSense = true;
    QString opened;
    std::unique_ptr<MidiBackendHolder<MidiInputBackend>> backendHolder;
    // Counts openings and closings; each delivered message carries the count
    // of its time (read on the library's thread, changed on the GUI thread).
    std::atomic<unsigned int> openings{0};
};

#endif
