#include "devicepeer.h"

#include "hardmessages.h"
#include "jackgraph.h"
#include "testwait.h"

#include <QTest>
#include <RtMidi.h>
#include <algorithm>
#include <jack/jack.h>

DevicePeer::DevicePeer(const QString &name) : m_name(name) {}

DevicePeer::~DevicePeer()
{
    vanish();
}

void DevicePeer::appear()
{
    if (m_in)
        return;
    clearReceived();
    m_query = jack_client_open((m_name + "-q").toUtf8().constData(), JackNoStartServer, nullptr);
    if (!m_query)
        throw RtMidiError("DevicePeer: no JACK server answers", RtMidiError::DRIVER_ERROR);
    m_in = std::make_unique<RtMidiIn>(RtMidi::UNIX_JACK, (m_name + "-rx").toStdString());
    m_in->ignoreTypes(false, false, false);
    m_in->setCallback(&DevicePeer::onMessage, this);
    m_in->openVirtualPort("in");
    m_out = std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, (m_name + "-tx").toStdString());
    m_out->openVirtualPort("out");
}

void DevicePeer::vanish()
{
    // Each port waits until it can go safely (see JackGraph).
    JackGraph::awaitAnnouncements(m_query);
    m_in.reset();
    JackGraph::awaitAnnouncements(m_query);
    {
        std::lock_guard<std::mutex> lock(m_sendMutex);
        m_out.reset();
    }
    if (m_query)
        jack_client_close(m_query);
    m_query = nullptr;
}

void DevicePeer::playUnit(const Bytes &serial, int preset)
{
    m_serial = serial;
    m_preset = preset;
    m_answering = true;
}

bool DevicePeer::waitLinkUp(const std::function<bool()> &linkUp, int timeoutMs)
{
    if (TestWait::until(linkUp, 1000))
        return true;
    if (!waitOutputConnected())
        return false;
    send(statusReply(m_serial, m_preset));
    return TestWait::until(linkUp, timeoutMs);
}

DevicePeer::Bytes DevicePeer::statusReply(const Bytes &serial, int preset, int sequence)
{
    Bytes reply;
    reply.reserve(serial.size() + 6);
    reply.push_back(0xF0);
    for (unsigned char byte : serial)
        reply.push_back(byte);
    reply.push_back(0x01);
    if (sequence >= 0) {
        reply.push_back(static_cast<unsigned char>((sequence >> 7) & 0x7F));
        reply.push_back(static_cast<unsigned char>(sequence & 0x7F));
    }
    reply.push_back(static_cast<unsigned char>(preset + 1));
    reply.push_back(0xF7);
    return reply;
}

void DevicePeer::onMessage(double, std::vector<unsigned char> *message, void *userData)
{
    auto *self = static_cast<DevicePeer *>(userData);
    {
        std::lock_guard<std::mutex> lock(self->m_mutex);
        self->m_received.push_back(*message);
    }
    if (!self->m_answering)
        return;
    const Bytes &m = *message;
    const size_t n = self->m_serial.size();
    const bool addressed = m.size() >= n + 4 && m[0] == 0xF0 &&
                           std::equal(self->m_serial.begin(), self->m_serial.end(), m.begin() + 1);
    if (m == makeSerialRequest() || (addressed && m.size() == n + 4 && m[n + 2] == 0x01)) {
        self->send(statusReply(self->m_serial, self->m_preset));
    } else if (addressed && m.size() == n + 6 && m[n + 2] == 0x06) {
        self->m_preset = m[n + 3];
        self->send(statusReply(self->m_serial, self->m_preset));
    }
}

void DevicePeer::send(const Bytes &bytes)
{
    std::lock_guard<std::mutex> lock(m_sendMutex);
    if (m_out)
        m_out->sendMessage(&bytes);
}

std::vector<DevicePeer::Bytes> DevicePeer::received() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

int DevicePeer::receivedCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_received.size());
}

void DevicePeer::clearReceived()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_received.clear();
}

bool DevicePeer::waitForReceived(int count, int timeoutMs) const
{
    return TestWait::until([&] { return receivedCount() >= count; }, timeoutMs);
}

QStringList DevicePeer::connectionsOf(const QString &portName) const
{
    QStringList names;
    jack_port_t *port =
        m_query ? jack_port_by_name(m_query, portName.toUtf8().constData()) : nullptr;
    const char **peers = port ? jack_port_get_all_connections(m_query, port) : nullptr;
    for (const char **p = peers; p && *p; ++p)
        names << QString::fromUtf8(*p);
    if (peers)
        jack_free(peers);
    return names;
}

bool DevicePeer::waitForMessage(const Bytes &message, int timeoutMs) const
{
    return TestWait::until(
        [&] {
            std::lock_guard<std::mutex> lock(m_mutex);
            return std::find(m_received.begin(), m_received.end(), message) != m_received.end();
        },
        timeoutMs);
}

int DevicePeer::inputConnections() const
{
    return connectionsOf(inputPortName()).size();
}

int DevicePeer::outputConnections() const
{
    return connectionsOf(outputPortName()).size();
}

bool DevicePeer::waitOutputConnected(int timeoutMs) const
{
    if (!TestWait::until([&] { return outputConnections() > 0; }, timeoutMs))
        return false;
    QTest::qWait(30);
    return true;
}
