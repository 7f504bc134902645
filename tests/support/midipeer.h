#ifndef MIDIPEER_H
#define MIDIPEER_H

#include <QString>
#include <QStringList>

#include <memory>
#include <mutex>
#include <vector>

class RtMidiIn;
class RtMidiOut;
typedef struct _jack_client jack_client_t;

// A MIDI device stand-in for tests: a real RtMidi client on the JACK server
// named by JACK_DEFAULT_SERVER, with a virtual input that records every
// message it receives and a virtual output to send from. Owned and used on
// the test's GUI thread; JACK's process thread only appends to the record.
//
// Client names carry the given tag, the process id and a counter, so peers
// of tests running in parallel never clash. The program's port objects list
// the ports as inputPortName() (for a QMidiOut) and outputPortName() (for a
// QMidiIn).
class MidiPeer
{
public:
    using Bytes = std::vector<unsigned char>;
    enum Ports
    {
        Input = 1,
        Output = 2,
        InputAndOutput = 3
    };

    // Throws RtMidiError when no JACK server answers.
    explicit MidiPeer(const QString &tag, Ports ports = InputAndOutput);
    ~MidiPeer();
    MidiPeer(const MidiPeer &) = delete;
    MidiPeer &operator=(const MidiPeer &) = delete;

    QString inputPortName() const { return m_inputName; }
    QString outputPortName() const { return m_outputName; }

    // Which kinds the input drops; by default it keeps everything.
    void ignoreTypes(bool sysex, bool time, bool sense);

    // What the input received so far, in arrival order.
    std::vector<Bytes> received() const;
    int receivedCount() const;
    void clearReceived();
    // Waits (processing Qt events) until at least count messages arrived.
    bool waitForMessages(int count, int timeoutMs = 5000);

    // Number of connections to the port right now.
    int inputConnections() const;
    int outputConnections() const;
    // Waits until the input is connected and the connection has settled
    // (JACK may drop events in the cycle that makes a connection).
    bool waitForInputConnection(int timeoutMs = 5000);

    // Sends once the output is connected and settled; false (nothing sent)
    // when no connection comes within the time.
    bool send(const Bytes &bytes, int timeoutMs = 5000);
    // Sends at once, connected or not; for a single sending thread of a test.
    void sendNow(const Bytes &bytes);

private:
    static void onMessage(double deltaTime, std::vector<unsigned char> *message, void *userData);
    int connections(const QString &portName) const;
    QStringList connectionList(const QString &portName) const;
    bool waitSettled(const QString &portName, QStringList &settledWith, int timeoutMs);

    QString m_inputName;
    QString m_outputName;
    std::unique_ptr<RtMidiIn> m_in;
    std::unique_ptr<RtMidiOut> m_out;
    // A client of our own that is never activated: it only looks at the graph.
    jack_client_t *m_query = nullptr;
    QStringList m_inputSettled;
    QStringList m_outputSettled;

    mutable std::mutex m_mutex;
    std::vector<Bytes> m_received;
};

#endif
