#include "benchpeer.h"

#include <RtMidi.h>

BenchPeer::BenchPeer(const std::string &name) : m_name(name)
{
    m_in = std::make_unique<RtMidiIn>(RtMidi::UNIX_JACK, name + "-rx", 1000);
    m_in->ignoreTypes(false, false, false);
    m_in->setCallback(&BenchPeer::onMessage, this);
    m_in->openVirtualPort("in");
    m_out = std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, name + "-tx");
    m_out->openVirtualPort("out");
}

BenchPeer::~BenchPeer()
{
    // The library clients go before the record their callback writes to.
    m_in.reset();
    m_out.reset();
}

BenchPeer::Clock::time_point BenchPeer::send(const Bytes &bytes)
{
    const Clock::time_point now = Clock::now();
    m_out->sendMessage(&bytes);
    return now;
}

void BenchPeer::onMessage(double, std::vector<unsigned char> *message, void *userData)
{
    const Clock::time_point now = Clock::now();
    auto *self = static_cast<BenchPeer *>(userData);
    {
        std::lock_guard<std::mutex> lock(self->m_mutex);
        ++self->m_count;
        if (self->m_recording)
            self->m_arrivals.push_back({now, *message});
    }
    self->m_arrived.notify_all();
}

void BenchPeer::setRecording(bool recording)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_recording = recording;
}

size_t BenchPeer::arrivalCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_count;
}

BenchPeer::Arrival BenchPeer::arrival(size_t index) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return index < m_arrivals.size() ? m_arrivals[index] : Arrival{};
}

void BenchPeer::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_count = 0;
    m_arrivals.clear();
}

bool BenchPeer::waitForArrivals(size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_arrived.wait_for(lock, timeout, [&] { return m_count >= count; });
}
