#include "benchpeer.h"

#include <RtMidi.h>

#include <cstdlib>
#include <cstring>

namespace {

// The listed name of our port "client:port": the last with ALSA's numbers.
std::string listedName(RtMidi &lister, const std::string &name)
{
    std::string found = name;
    for (unsigned int i = 0; i < lister.getPortCount(); ++i) {
        const std::string listed = lister.getPortName(i);
        if (listed.compare(0, name.size() + 1, name + " ") == 0 &&
            listed.find_first_not_of("0123456789:", name.size() + 1) == std::string::npos)
            found = listed;
    }
    return found;
}

} // namespace

bool BenchPeer::onAlsa()
{
    const char *service = std::getenv("TARN_MIDI_SERVICE");
    return service && std::strcmp(service, "alsa") == 0;
}

int BenchPeer::api()
{
    return onAlsa() ? RtMidi::LINUX_ALSA : RtMidi::UNIX_JACK;
}

BenchPeer::BenchPeer(const std::string &name)
{
    const auto service = RtMidi::Api(api());
    m_in = std::make_unique<RtMidiIn>(service, name + "-rx", 1000);
    m_in->ignoreTypes(false, false, false);
    m_in->setCallback(&BenchPeer::onMessage, this);
    m_in->openVirtualPort("in");
    m_out = std::make_unique<RtMidiOut>(service, name + "-tx");
    m_out->openVirtualPort("out");
    // Our input is listed among the outputs' destinations, and the reverse.
    m_inName = listedName(*m_out, name + "-rx:in");
    m_outName = listedName(*m_in, name + "-tx:out");
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
