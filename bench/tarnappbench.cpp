#include "tarnappbench.h"

#include "benchsettings.h"
#include "linecounter.h"
#include "owntimes.h"
#include "processprobe.h"

#include <jack/jack.h>

#include <cstdio>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono;
using Bytes = ByteVector;
using Clock = SimulatedDevice::Clock;

const Bytes serial{0x12, 0x34, 0x56, 0x78, 0x01, 0x02, 0x03, 0x04};
constexpr milliseconds replyTimeout{2000};

Bytes withSerial(const Bytes &tail)
{
    Bytes message;
    message.reserve(1 + serial.size() + tail.size());
    message.push_back(0xF0);
    for (const Bytes *part : {&serial, &tail}) {
        for (unsigned char byte : *part)
            message.push_back(byte);
    }
    return message;
}

// Status reply for a one-based preset number (0 for none).
Bytes statusReply(int presetNumber)
{
    return withSerial({0x01, static_cast<unsigned char>(presetNumber), 0xF7});
}

Bytes presetRequest(int index)
{
    return withSerial({0x02, 0x06, static_cast<unsigned char>(index), 0x07, 0xF7});
}

// What a device received from index on, for error messages.
std::string describe(const SimulatedDevice &device, size_t from)
{
    std::string text;
    for (size_t i = from; i < device.messages().size(); ++i) {
        text += text.empty() ? "" : " | ";
        for (unsigned char byte : device.messages()[i]) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%02X ", byte);
            text += hex;
        }
    }
    return text.empty() ? "nothing" : text;
}

double microsecondsBetween(Clock::time_point from, Clock::time_point to)
{
    return duration<double, std::micro>(to - from).count();
}

void sleepFor(milliseconds time)
{
    std::this_thread::sleep_for(time);
}

} // namespace

TarnAppBench::TarnAppBench(const Options &options)
    : m_options(options), m_unit(BenchSettings::names("bench-unit"), SimulatedDevice::Role::Raw),
      m_pads(BenchSettings::names("bench-pads"), SimulatedDevice::Role::Raw),
      m_floor(BenchSettings::names("bench-floor"), SimulatedDevice::Role::Raw)
{
    jack_client_t *client = SimulatedDevice::onAlsa()
                                ? nullptr
                                : jack_client_open("bench-info", JackNoStartServer, nullptr);
    if (client) {
        m_sampleRate = int(jack_get_sample_rate(client));
        m_period = int(jack_get_buffer_size(client));
        jack_client_close(client);
    }
}

TarnAppBench::~TarnAppBench() = default;

int TarnAppBench::run()
{
    m_loadAtStart = loadAverage();
    std::printf("Machine: %s\n", machineDescription().c_str());
    if (SimulatedDevice::onAlsa())
        std::printf("MIDI service: the ALSA sequencer\n\n");
    else
        std::printf("JACK server \"%s\": %d Hz, period %d frames (%.2f ms)\n\n",
                    qgetenv("JACK_DEFAULT_SERVER").constData(), m_sampleRate, m_period,
                    m_sampleRate ? 1000.0 * m_period / m_sampleRate : 0.0);
    if (!startEcho())
        return 1;
    int exitCode = -1;
    const bool ok = measureStartup() && completeLink() && (measureIdle(), true) &&
                    measureLatency() && measureFlood();
    const bool stopped = stopProgram(&exitCode);
    if (!ok || !stopped)
        return 1;
    printTable(exitCode);
    return exitCode == 0 ? 0 : 1;
}

bool TarnAppBench::startEcho()
{
    m_echo = std::make_unique<ProgramRun>(
        m_options.echoCommand, QStringList{"--echo", QString::fromStdString(m_floor.out()),
                                           QString::fromStdString(m_floor.in())});
    if (!m_echo->start() || !m_echo->waitForLine("ready", 5000)) {
        std::fprintf(stderr, "bench: the echo client did not start: %s\n",
                     qPrintable(m_echo->lines().join(" | ")));
        return false;
    }
    // JACK may drop an event sent in the cycle that makes a connection.
    sleepFor(milliseconds(100));
    return true;
}

bool TarnAppBench::startProgram()
{
    m_program = BenchSettings::program(m_options.program, m_unit, &m_pads, true);
    if (m_program->start())
        return true;
    std::fprintf(stderr, "bench: cannot start %s\n", qPrintable(m_options.program));
    return false;
}

bool TarnAppBench::stopProgram(int *exitCode)
{
    if (!m_program || !m_program->alive())
        return true;
    *exitCode = m_program->terminate();
    if (m_program->alive()) {
        std::fprintf(stderr, "bench: the program did not end within 10 s of SIGTERM\n");
        return false;
    }
    return true;
}

bool TarnAppBench::measureStartup()
{
    const Bytes serialRequest{0xF0, 0x00, 0x11, 0x22, 0x0A, 0x00,
                              0x00, 0x00, 0x00, 0x02, 0x00, 0xF7};
    // A start whose request the service loses (a JACK xrun) is counted and repeated.
    for (int run = 0; int(m_startupUs.count()) < m_options.startups; ++run) {
        if (run >= m_options.startups + 5) {
            std::fprintf(stderr, "bench: too many starts without a serial request\n");
            return false;
        }
        if (run > 0) {
            int exitCode = -1;
            if (!stopProgram(&exitCode) || exitCode != 0) {
                std::fprintf(stderr, "bench: the program ended with code %d\n", exitCode);
                return false;
            }
        }
        m_unit.clear();
        const Clock::time_point start = Clock::now();
        if (!startProgram())
            return false;
        if (m_unit.waitFor(1, milliseconds(10000)) && m_unit.messages()[0] == serialRequest)
            m_startupUs.add(microsecondsBetween(start, m_unit.arrivalTime(0)));
        else
            ++m_lost.startups;
    }
    // The last start stays for the other measurements.
    return true;
}

bool TarnAppBench::completeLink()
{
    // The serial reply; the program then asks for the status.
    m_unit.clear();
    sleepFor(milliseconds(50));
    m_unit.send(withSerial({0x02, 0x00, 0xF7}));
    if (!m_unit.waitFor(1, replyTimeout) || m_unit.messages()[0] != withSerial({0x02, 0x01, 0xF7}))
        std::fprintf(stderr, "bench: no init status request (lost?); going on\n");
    if (!resynchronise()) {
        std::fprintf(stderr, "bench: the program shows no preset on the pads\n");
        return false;
    }
    sleepFor(milliseconds(1000));
    const ProcessProbe probe(m_program->pid());
    m_rssAfterStartKb = probe.residentKb();
    m_anonAfterStartKb = probe.anonymousKb();
    m_programThreads = probe.threadCount();
    return true;
}

bool TarnAppBench::resynchronise()
{
    // A status reply for "no preset" differs from every preset shown, so the
    // program answers it with six notes; then the program and the bench agree.
    for (int attempt = 0; attempt < 5; ++attempt) {
        sleepFor(milliseconds(100));
        m_pads.take();
        const size_t base = m_pads.messages().size();
        const int shown = attempt % 2 ? 0 : -1;
        m_unit.send(statusReply(shown + 1));
        if (m_pads.waitFor(base + 6, replyTimeout)) {
            sleepFor(milliseconds(100));
            m_currentPreset = shown;
            return true;
        }
    }
    return false;
}

void TarnAppBench::measureIdle()
{
    const ProcessProbe program(m_program->pid());
    const ProcessProbe echo(m_echo->pid());
    const double programBefore = program.cpuMs();
    const double guiBefore = program.mainThreadCpuMs();
    const double echoBefore = echo.cpuMs();
    sleepFor(seconds(m_options.idleSeconds));
    m_idleProgramMs = program.cpuMs() - programBefore;
    m_idleGuiMs = program.mainThreadCpuMs() - guiBefore;
    m_idleEchoMs = echo.cpuMs() - echoBefore;
}

void TarnAppBench::sleepRandomPhase()
{
    // Sends land anywhere in a JACK period, as a player's presses would (on
    // ALSA, which has no periods, the same spread keeps runs comparable).
    const double periodUs = m_sampleRate ? 1e6 * m_period / m_sampleRate : 5333;
    std::uniform_real_distribution<double> phase(0, periodUs);
    std::this_thread::sleep_for(duration<double, std::micro>(phase(m_random)));
}

bool TarnAppBench::measureLatency()
{
    // A message that the service loses (a JACK xrun on a busy machine) is
    // counted, not timed; after a lost feedback the program's preset is set
    // anew. Stragglers get time to arrive before the next round.
    auto settleAfterLoss = [] { sleepFor(milliseconds(200)); };
    OwnTimes own(m_program->logPath("stderr.log"));
    own.mark();
    for (int i = 0; i < m_options.presses; ++i) {
        // The floor: the same path shape, peer -> echo client -> peer.
        sleepRandomPhase();
        m_floor.clear();
        Clock::time_point sent = m_floor.send({0x90, 0x38, 0x7F});
        if (m_floor.waitFor(1, replyTimeout)) {
            m_floorUs.add(microsecondsBetween(sent, m_floor.arrivalTime(0)));
        } else {
            ++m_lost.floor;
            settleAfterLoss();
        }

        // A pad press, through the program, to the unit's preset request.
        const int index = (m_currentPreset + 1) % 6;
        sleepRandomPhase();
        m_unit.clear();
        sent = m_pads.send({0x90, static_cast<unsigned char>(0x36 + index), 0x7F});
        if (!m_unit.waitFor(1, replyTimeout)) {
            ++m_lost.presses;
            settleAfterLoss();
            continue;
        }
        if (m_unit.messages()[0] != presetRequest(index)) {
            std::fprintf(stderr, "bench: press %d (pad %d): the unit got %s\n", i, index + 1,
                         describe(m_unit, 0).c_str());
            return false;
        }
        m_pressUs.add(microsecondsBetween(sent, m_unit.arrivalTime(0)));

        // The unit's status reply, through the program, to the sixth feedback note.
        sleepRandomPhase();
        m_pads.clear();
        sent = m_unit.send(statusReply(index + 1));
        const Bytes lastNote{0x90, 0x3B, static_cast<unsigned char>(index == 5 ? 0x7F : 0x00)};
        if (!m_pads.waitFor(6, replyTimeout)) {
            ++m_lost.feedbacks;
            settleAfterLoss();
            if (!resynchronise()) {
                std::fprintf(stderr, "bench: press %d: the pads got no feedback any more\n", i);
                return false;
            }
            continue;
        }
        // PipeWire's libjack delivers a Note On at velocity 0 as a Note Off at 64.
        const Bytes offNote{0x80, 0x3B, 0x40};
        const Bytes &last = m_pads.messages()[5];
        if (last != lastNote && (index == 5 || last != offNote)) {
            // Seen only on a JACK server missing periods: notes that repeat
            // an earlier one of the same cycle. Counted, shown, not timed.
            std::fprintf(stderr, "bench: press %d: the pads got %s\n", i,
                         describe(m_pads, 0).c_str());
            ++m_lost.garbled;
            settleAfterLoss();
            if (!resynchronise())
                return false;
            continue;
        }
        m_feedbackUs.add(microsecondsBetween(sent, m_pads.arrivalTime(5)));
        m_currentPreset = index;
    }
    // The program writes its times once a message's receivers are done.
    sleepFor(milliseconds(200));
    own.collect(0x90, 1, m_ownPressUs);
    own.collect(0xF0, 6, m_ownFeedbackUs);
    return true;
}

bool TarnAppBench::measureFlood()
{
    // Status replies that repeat the active preset: each one takes the whole
    // receive path (library thread, message object, queued slot, traffic log)
    // and changes nothing. A window of messages in flight keeps the service's
    // per-period buffers from overflowing; anything lost is sent again.
    const Bytes message = statusReply(m_currentPreset + 1);
    LineCounter received(m_program->logPath("stderr.log"), "Rcv    : ");
    const long long base = received.count();
    const long long target = m_options.floodMessages;
    const long long window = 32;
    long long sent = 0;
    long long done = 0;
    auto lastProgress = steady_clock::now();
    const auto start = steady_clock::now();
    while (done < target) {
        while (sent < target && sent - done < window) {
            m_unit.send(message);
            ++sent;
        }
        sleepFor(milliseconds(1));
        const long long now = received.count() - base;
        if (now > done) {
            done = now;
            lastProgress = steady_clock::now();
        } else if (steady_clock::now() - lastProgress > seconds(1)) {
            if (sent == done || steady_clock::now() - start > seconds(600)) {
                std::fprintf(stderr, "bench: the flood stalls at %lld messages\n", done);
                return false;
            }
            m_lost.flood += sent - done;
            sent = done;
            lastProgress = steady_clock::now();
        }
    }
    m_floodSeconds = duration<double>(steady_clock::now() - start).count();
    sleepFor(milliseconds(1000));
    const ProcessProbe probe(m_program->pid());
    m_rssAfterFloodKb = probe.residentKb();
    m_anonAfterFloodKb = probe.anonymousKb();
    m_peakAfterFloodKb = probe.peakResidentKb();
    return true;
}
