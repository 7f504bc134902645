#ifndef DEVICEPEER_H
#define DEVICEPEER_H

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class RtMidiIn;
class RtMidiOut;
typedef struct _jack_client jack_client_t;

// A MIDI device for tests that can be unplugged and plugged in again under
// the same port names: JACK clients "<name>-rx" (virtual input "in", which
// records what arrives) and "<name>-tx" (virtual output "out"). Playing the
// unit, it answers the serial, init status and preset requests with a status
// reply itself, on JACK's thread. Made and driven on the test's GUI thread.
class DevicePeer
{
public:
    using Bytes = std::vector<unsigned char>;

    explicit DevicePeer(const QString &name);
    ~DevicePeer();
    DevicePeer(const DevicePeer &) = delete;
    DevicePeer &operator=(const DevicePeer &) = delete;

    // Plugs the device in, with an empty record (throws RtMidiError when no server answers).
    void appear();
    // Unplugs it: its clients and ports go away.
    void vanish();

    QString inputPortName() const { return m_name + "-rx:in"; }
    QString outputPortName() const { return m_name + "-tx:out"; }

    // Answer requests as a unit with this serial number that holds preset
    // (zero-based) until asked for another.
    void playUnit(const Bytes &serial, int preset);
    void stopAnswering() { m_answering = false; }
    int unitPreset() const { return m_preset; }
    // Waits until linkUp() holds. When it does not within a second (the
    // program's serial request went out in the cycle that made the
    // connection and was lost), the unit speaks first with a status reply,
    // as it does when its own panel changes preset.
    bool waitLinkUp(const std::function<bool()> &linkUp, int timeoutMs = 4000);

    std::vector<Bytes> received() const;
    int receivedCount() const;
    void clearReceived();
    bool waitForReceived(int count, int timeoutMs = 5000) const;
    // Waits until this very message has arrived (and stays in the record).
    bool waitForMessage(const Bytes &message, int timeoutMs = 5000) const;

    // The ports connected to any port of the server, as this device sees them.
    QStringList connectionsOf(const QString &portName) const;
    int inputConnections() const;
    int outputConnections() const;
    // Waits until the output is connected, then a few cycles more, since
    // JACK may drop an event sent in the cycle that makes the connection.
    bool waitOutputConnected(int timeoutMs = 5000) const;
    void send(const Bytes &bytes);

    // F0, serial, 01, then two sequence bytes when sequence >= 0, then the
    // one-based preset number, F7.
    static Bytes statusReply(const Bytes &serial, int preset, int sequence = -1);

private:
    static void onMessage(double deltaTime, std::vector<unsigned char> *message, void *userData);

    QString m_name;
    std::unique_ptr<RtMidiIn> m_in;
    std::unique_ptr<RtMidiOut> m_out;
    jack_client_t *m_query = nullptr;
    Bytes m_serial;
    std::atomic<bool> m_answering{false};
    std::atomic<int> m_preset{0};
    std::mutex m_sendMutex;
    mutable std::mutex m_mutex;
    std::vector<Bytes> m_received;
};

#endif
