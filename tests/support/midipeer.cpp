#include "midipeer.h"

#include "jackgraph.h"
#include "testwait.h"

#include <RtMidi.h>
#include <jack/jack.h>

#include <atomic>
#include <unistd.h>

namespace {

// Long enough for a few JACK cycles of 1024 frames at 48 kHz (21 ms each).
constexpr int settleMs = 100;

QString uniqueBaseName(const QString &tag)
{
    static std::atomic<int> counter{0};
    const QString suffix = QStringLiteral("-%1-%2").arg(getpid()).arg(++counter);
    // JACK client names are short; keep room for the "-rx"/"-tx" endings.
    const int room = jack_client_name_size() - 1 - suffix.size() - 3;
    return tag.left(room) + suffix;
}

} // namespace

MidiPeer::MidiPeer(const QString &tag, Ports ports)
{
    const QString base = uniqueBaseName(tag);
    m_query = jack_client_open((base + "-q").toUtf8().constData(), JackNoStartServer, nullptr);
    if (!m_query)
        throw RtMidiError("MidiPeer: no JACK server answers (JACK_DEFAULT_SERVER=" +
                              qEnvironmentVariable("JACK_DEFAULT_SERVER").toStdString() + ")",
                          RtMidiError::DRIVER_ERROR);
    try {
        if (ports & Input) {
            const QString client = base + "-rx";
            m_in = std::make_unique<RtMidiIn>(RtMidi::UNIX_JACK, client.toStdString());
            m_in->setCallback(&MidiPeer::onMessage, this);
            m_in->ignoreTypes(false, false, false);
            m_in->openVirtualPort("in");
            m_inputName = client + ":in";
        }
        if (ports & Output) {
            const QString client = base + "-tx";
            m_out = std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, client.toStdString());
            m_out->openVirtualPort("out");
            m_outputName = client + ":out";
        }
    } catch (...) {
        m_in.reset();
        m_out.reset();
        jack_client_close(m_query);
        throw;
    }
}

MidiPeer::~MidiPeer()
{
    // The library clients go before the record they write to; each port
    // waits until it can go safely (see JackGraph).
    JackGraph::closePorts(m_query, {m_in.get(), m_out.get()});
    m_in.reset();
    m_out.reset();
    if (m_query)
        jack_client_close(m_query);
}

void MidiPeer::ignoreTypes(bool sysex, bool time, bool sense)
{
    if (m_in)
        m_in->ignoreTypes(sysex, time, sense);
}

void MidiPeer::onMessage(double, std::vector<unsigned char> *message, void *userData)
{
    auto *self = static_cast<MidiPeer *>(userData);
    std::lock_guard<std::mutex> lock(self->m_mutex);
    self->m_received.push_back(*message);
}

std::vector<MidiPeer::Bytes> MidiPeer::received() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

int MidiPeer::receivedCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_received.size());
}

void MidiPeer::clearReceived()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_received.clear();
}

bool MidiPeer::waitForMessages(int count, int timeoutMs)
{
    return TestWait::until([&] { return receivedCount() >= count; }, timeoutMs);
}

int MidiPeer::connections(const QString &portName) const
{
    return connectionList(portName).size();
}

QStringList MidiPeer::connectionList(const QString &portName) const
{
    QStringList names;
    if (portName.isEmpty())
        return names;
    jack_port_t *port = jack_port_by_name(m_query, portName.toUtf8().constData());
    if (!port)
        return names;
    if (const char **peers = jack_port_get_all_connections(m_query, port)) {
        for (const char **p = peers; *p; ++p)
            names << QString::fromUtf8(*p);
        jack_free(peers);
    }
    names.sort();
    return names;
}

int MidiPeer::inputConnections() const
{
    return connections(m_inputName);
}

int MidiPeer::outputConnections() const
{
    return connections(m_outputName);
}

bool MidiPeer::waitSettled(const QString &portName, QStringList &settledWith, int timeoutMs)
{
    QStringList now;
    if (!TestWait::until(
            [&] {
                now = connectionList(portName);
                return !now.isEmpty();
            },
            timeoutMs))
        return false;
    if (now != settledWith) {
        TestWait::runEventLoop(settleMs);
        settledWith = now;
    }
    return true;
}

bool MidiPeer::waitForInputConnection(int timeoutMs)
{
    return waitSettled(m_inputName, m_inputSettled, timeoutMs);
}

bool MidiPeer::send(const Bytes &bytes, int timeoutMs)
{
    if (!m_out || !waitSettled(m_outputName, m_outputSettled, timeoutMs))
        return false;
    sendNow(bytes);
    return true;
}

void MidiPeer::sendNow(const Bytes &bytes)
{
    if (m_out)
        m_out->sendMessage(&bytes);
}
