#ifndef BENCHPEER_H
#define BENCHPEER_H

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class RtMidiIn;
class RtMidiOut;

// A measuring MIDI device: a virtual input that stamps every arrival with the
// steady clock on the library's thread, and a virtual output. Sends come from
// the benchmark's main thread only; the main thread also reads the arrivals.
class BenchPeer
{
public:
    using Bytes = std::vector<unsigned char>;
    using Clock = std::chrono::steady_clock;
    struct Arrival
    {
        Clock::time_point time;
        Bytes bytes;
    };

    // The service: ALSA when TARN_MIDI_SERVICE is "alsa", JACK otherwise.
    static int api();
    static bool onAlsa();

    // Clients "<name>-rx" (port "in") and "<name>-tx" (port "out").
    // Throws RtMidiError when the service does not answer.
    explicit BenchPeer(const std::string &name);
    ~BenchPeer();
    BenchPeer(const BenchPeer &) = delete;
    BenchPeer &operator=(const BenchPeer &) = delete;

    // As the program's port lists show them (ALSA appends " client:port").
    std::string inputPortName() const { return m_inName; }
    std::string outputPortName() const { return m_outName; }

    // Sends and returns the time just before the send.
    Clock::time_point send(const Bytes &bytes);

    // Arrivals are kept only while recording; otherwise they are only counted.
    void setRecording(bool recording);
    size_t arrivalCount() const;
    Arrival arrival(size_t index) const;
    void clear();
    // Waits until at least count arrivals; false when the time runs out first.
    bool waitForArrivals(size_t count, std::chrono::milliseconds timeout) const;

private:
    static void onMessage(double deltaTime, std::vector<unsigned char> *message, void *userData);

    std::string m_inName, m_outName;
    std::unique_ptr<RtMidiIn> m_in;
    std::unique_ptr<RtMidiOut> m_out;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_arrived;
    bool m_recording = true;
    size_t m_count = 0;
    std::vector<Arrival> m_arrivals;
};

#endif
