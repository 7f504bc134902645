#include "soakrun.h"

#include "benchsettings.h"
#include "processprobe.h"
#include "remoteprotocol.h"
#include "serviceclients.h"

#include <cstdio>
#include <poll.h>
#include <thread>

namespace {

using namespace std::chrono;

const ByteVector serial{0x51, 0x0A, 0x4B, 0x1C, 0x2D, 0x3E, 0x4F, 0x60};
constexpr milliseconds answerTimeout{2000};
constexpr milliseconds lateTimeout{8000};
constexpr milliseconds returnTimeout{10000};
// The foot switch chooses preset 3 (the dialog's list starts with "none").
constexpr int footSwitchIndex = 2;

} // namespace

SoakRun::SoakRun(const Options &options)
    : m_options(options),
      m_unit(BenchSettings::names("soak-unit", true), SimulatedDevice::Role::Unit, serial),
      m_pads(BenchSettings::names("soak-pads", true), SimulatedDevice::Role::Pads),
      m_program(BenchSettings::program(options.program, m_unit, &m_pads, true, m_visit.display())),
      m_logs(std::make_unique<SoakLogs>(*m_program))
{
    m_clients = std::make_unique<ServiceClients>();
}

SoakRun::~SoakRun()
{
    // The program goes before its devices, so that it logs no device gone.
    m_program.reset();
}

bool SoakRun::waitUntil(const std::function<bool()> &done, milliseconds timeout, int pollMs)
{
    const Clock::time_point end = Clock::now() + timeout;
    for (;;) {
        take();
        if (done())
            return true;
        const auto left = duration_cast<milliseconds>(end - Clock::now()).count();
        if (left <= 0 || !m_program->alive())
            return false;
        pollfd wake[2] = {{m_unit.wakeFd(), POLLIN, 0}, {m_pads.wakeFd(), POLLIN, 0}};
        poll(wake, 2, int(std::min<long long>(left, pollMs)));
    }
}

void SoakRun::take()
{
    // The pads' lamps are all the soak needs of them; the unit's requests
    // (a few bytes a press) are kept and counted as they come.
    m_pads.clear();
    m_unit.take();
    for (size_t &i = m_unitHeard; i < m_unit.messages().size(); ++i) {
        const ByteVector &bytes = m_unit.messages()[i];
        if (bytes == makeSerialRequest()) {
            ++m_serialRequests;
            m_serialTimes.push_back(m_unit.arrivalTime(i));
        } else if (bytes.size() == 14 && bytes[10] == 0x06) {
            ++m_presetRequests;
            m_lastRequestedIndex = bytes[11];
            m_lastRequestTime = m_unit.arrivalTime(i);
        }
    }
}

int SoakRun::litPad() const
{
    int lit = -1;
    for (int pad = 0; pad < RemoteProtocol::PadCount; ++pad)
        lit = m_pads.pads.isLit(pad) ? pad : lit;
    return lit;
}

bool SoakRun::lampsShowUnit() const
{
    for (int pad = 0; pad < RemoteProtocol::PadCount; ++pad) {
        if (m_pads.pads.isLit(pad) != (pad == m_unit.unit.preset() - 1))
            return false;
    }
    return true;
}

bool SoakRun::linkComplete(size_t lampsBefore)
{
    return waitUntil([&] { return size_t(m_pads.lampNotes) >= lampsBefore + 6 && lampsShowUnit(); },
                     returnTimeout);
}

bool SoakRun::press(int number)
{
    // A preset neither the unit's nor the one the pads show: after a reply
    // that the service lost the two differ, and the program lights nothing
    // for a status that it already shows. Every tenth press is the foot
    // switch, when its preset is such a one.
    const int current = m_unit.unit.preset() - 1;
    const int shown = litPad();
    const auto fresh = [&](int index) { return index != current && index != shown; };
    const bool foot = number % 10 == 9 && fresh(footSwitchIndex);
    int target = footSwitchIndex;
    if (!foot) {
        std::uniform_int_distribution<int> pad(0, RemoteProtocol::PadCount - 1);
        do
            target = pad(m_random);
        while (!fresh(target));
    }
    const Trail pressTrail = trail(m_logs->notesIn, m_logs->requestsOut);
    const Trail replyTrail = trail(m_logs->sysexIn, m_logs->lampsOut);
    const size_t requestsBefore = m_presetRequests;
    const size_t lampsBefore = size_t(m_pads.lampNotes);
    const Clock::time_point sent = Clock::now();
    m_pads.send(foot ? SimulatedPads::footSwitch() : SimulatedPads::padPress(target + 1));
    // An answer later than the limit is not lost: a busy machine can stall
    // the program for seconds. It is counted and shown, and only one that
    // never comes is blamed.
    const auto answered = [&](const std::function<bool()> &done) {
        if (waitUntil(done, answerTimeout))
            return true;
        if (!waitUntil(done, lateTimeout))
            return false;
        ++m_lateAnswers;
        std::fprintf(stderr, "soak: press %d answered late, %.1f s after it\n", number,
                     duration<double>(Clock::now() - sent).count());
        return true;
    };
    if (!answered([&] { return m_presetRequests > requestsBefore; })) {
        blame(pressTrail, m_logs->notesIn, m_logs->requestsOut, m_lostPresses);
        std::fprintf(stderr, "soak: press %d (%s %d): no request reached the unit\n", number,
                     foot ? "foot switch for preset" : "pad", target + 1);
        return m_program->alive();
    }
    // An earlier request asked again (its answer lost by the service) may come first.
    if (m_lastRequestedIndex != target)
        answered([&] { return m_lastRequestedIndex == target; });
    if (m_lastRequestedIndex != target) {
        std::fprintf(stderr, "soak: press %d asked for preset %d, the unit was asked for %d\n",
                     number, target + 1, m_lastRequestedIndex + 1);
        return false;
    }
    m_window.add(duration<double, std::micro>(m_lastRequestTime - sent).count());
    if (!answered([&] { return size_t(m_pads.lampNotes) >= lampsBefore + 6 && lampsShowUnit(); })) {
        blame(replyTrail, m_logs->sysexIn, m_logs->lampsOut, m_lostLamps);
        std::fprintf(stderr, "soak: press %d: the pads do not show preset %d (%s)\n", number,
                     m_unit.unit.preset(), m_pads.pads.lampRow().c_str());
        return m_program->alive();
    }
    return true;
}

SoakRun::Trail SoakRun::trail(LineCounter &in, LineCounter &out)
{
    return {in.count(), out.count()};
}

void SoakRun::blame(const Trail &before, LineCounter &in, LineCounter &out, long long &programLoss)
{
    // The program writes its lines at once; a moment lets the last arrive.
    waitUntil([] { return false; }, milliseconds(300));
    if (in.count() == before.received) {
        ++m_lostByService;
        std::fprintf(stderr, "soak: lost by the service before the program (xrun?); ");
    } else if (out.count() == before.sent) {
        ++programLoss;
        std::fprintf(stderr, "soak: LOST BY THE PROGRAM: received, nothing sent; ");
    } else {
        ++m_lostByService;
        std::fprintf(stderr, "soak: lost by the service after the program sent it (xrun?); ");
    }
}

bool SoakRun::visitSettings()
{
    const size_t serialBefore = m_serialRequests;
    const Clock::time_point began = Clock::now();
    if (!m_visit.visit(m_program->pid())) {
        ++m_failedVisits;
        return m_program->alive();
    }
    // OK with nothing changed reopens no port, so the unit is not asked again.
    waitUntil([] { return false; }, milliseconds(300));
    std::printf("Settings dialog opened and closed with OK (%d): %.2f s\n", ++m_visits,
                duration<double>(Clock::now() - began).count());
    if (m_serialRequests != serialBefore) {
        ++m_failedVisits;
        std::fprintf(stderr, "soak: OK with nothing changed asked the unit for its serial\n");
    }
    return true;
}

void SoakRun::restThenSample(int presses)
{
    // At rest: nothing in flight, and the program's deferred work done.
    waitUntil([] { return false; }, milliseconds(500));
    const ProcessProbe probe(m_program->pid());
    SoakSamples::Sample sample;
    sample.presses = presses;
    sample.seconds = duration<double>(Clock::now() - m_start).count();
    sample.rssKb = probe.residentKb();
    sample.files = probe.openFiles();
    sample.threads = probe.threadCount();
    sample.clients = m_clients->count(m_program->pid());
    sample.p50Ms = m_window.percentile(50) / 1000.0;
    sample.p99Ms = m_window.percentile(99) / 1000.0;
    sample.lostPresses = m_lostPresses;
    sample.lostLamps = m_lostLamps;
    sample.lostByService = m_lostByService;
    m_window = LatencyStats();
    m_samples.add(sample);
}

int SoakRun::run()
{
    if (!m_program->folder().size())
        return 1;
    std::printf("Soak: %d presses (every 10th the foot switch), the unit unplugged every %d, the "
                "pads every %d; samples every %d, at rest\n",
                m_options.presses, m_options.unitReplugEvery, m_options.padsReplugEvery,
                m_options.sampleEvery);
    const bool restarts = !SimulatedDevice::onAlsa() && m_server.available();
    if (restarts)
        std::printf("The JACK server stopped and started again %d times, evenly spread\n",
                    m_options.serverRestarts);
    else
        std::printf("Not in this run: stopping and starting the server (%s)\n",
                    SimulatedDevice::onAlsa() ? "the ALSA sequencer is the kernel's"
                                              : "no server given: run through bench/run.sh --soak");
    if (m_visit.display().isEmpty())
        std::printf("Not in this run: the settings dialog (%s)\n\n", qPrintable(m_visit.missing()));
    else
        std::printf("The settings dialog opened with a click and closed with OK every %d presses "
                    "(the program on Xvfb %s)\n\n",
                    m_options.settingsEvery, qPrintable(m_visit.display()));
    const BenchSettings settings(m_program->folder());
    settings.writeStage(footSwitchIndex);
    const std::map<QString, QString> settingsAtStart = settings.read();
    m_unit.unit.choosePreset(1); // the unit starts on preset 1, so the first status lights a pad
    m_start = Clock::now();
    const Tally atStart = tally();
    if (!m_program->start()) {
        std::fprintf(stderr, "soak: cannot start %s\n", qPrintable(m_options.program));
        return 1;
    }
    if (!waitUntil([&] { return m_serialRequests > 0; }, returnTimeout) || !linkComplete(0)) {
        // A start is a return too: what the service lost, the program asks again.
        lostByService(atStart);
        std::fprintf(stderr,
                     "soak: the program did not complete the link at start: %zu serial "
                     "requests, %zu lamp notes\n",
                     m_serialRequests, size_t(m_pads.lampNotes));
        return 1;
    }
    // The dialog's first showing builds what Qt keeps for it (3 MB on xcb):
    // part of the warm-up, so that the samples show what a visit leaves.
    if (!m_visit.display().isEmpty() && !visitSettings())
        return 1;
    restThenSample(0);

    // Bursts at a player's pace (a song's changes), and between them the
    // presses follow each other as soon as the lamps answer (the songs'
    // long stretches without a press, compressed away).
    std::uniform_int_distribution<int> playerGapMs(120, 300);
    std::uniform_int_distribution<int> phaseUs(0, 5333);
    bool ok = true;
    for (int n = 1; ok && n <= m_options.presses; ++n) {
        const bool inBurst = n % 40 < 4;
        std::this_thread::sleep_for(inBurst ? microseconds(playerGapMs(m_random) * 1000)
                                            : microseconds(phaseUs(m_random)));
        ok = press(n);
        if (ok && n % m_options.unitReplugEvery == 0)
            ok = replug(Device::Unit);
        if (ok && n % m_options.padsReplugEvery == 0)
            ok = replug(Device::Pads);
        const int restartEvery = m_options.presses / (m_options.serverRestarts + 1);
        if (ok && restarts && restartEvery > 0 && n % restartEvery == 0 &&
            n / restartEvery <= m_options.serverRestarts)
            ok = restartServer();
        if (ok && !m_visit.display().isEmpty() && n % m_options.settingsEvery == 0)
            ok = visitSettings();
        if (ok && n % m_options.sampleEvery == 0)
            restThenSample(n);
    }
    if (!ok || !m_program->alive()) {
        std::fprintf(stderr, "soak: the program ended or went wrong during the run\n");
        return 1;
    }
    const int exitCode = m_program->terminate();
    if (exitCode != 0) {
        std::fprintf(stderr, "soak: the program ended with code %d (-1: not in 10 s of SIGTERM)\n",
                     exitCode);
        return 1;
    }
    printReturns();
    const bool settingsKept = BenchSettings::same(settingsAtStart, settings.read());
    return verdict(settingsKept);
}

int SoakRun::verdict(bool settingsKept) const
{
    std::vector<std::string> failures;
    const long long lost = m_lostPresses + m_lostLamps + m_lostReturns;
    if (lost)
        failures.push_back(std::to_string(m_lostPresses) + " presses, " +
                           std::to_string(m_lostLamps) + " lamp feedbacks, " +
                           std::to_string(m_lostReturns) + " returns lost");
    for (const std::string &failure : m_samples.failures())
        failures.push_back(failure);
    if (!settingsKept)
        failures.push_back("the settings file changed");
    if (m_failedVisits)
        failures.push_back(std::to_string(m_failedVisits) + " of the settings dialog's visits");
    // A unit that answers every press in time is never asked twice; a request
    // or answer that the service lost (an xrun) is the program's to ask again.
    const long long presetRepeats = m_logs->presetRepeats.count();
    if (presetRepeats > m_lostByService)
        failures.push_back(std::to_string(presetRepeats) +
                           " preset requests asked again, more than the service lost");
    std::printf(
        "\nLost by the program: %lld presses, %lld lamp feedbacks, %lld device returns. "
        "Lost by the service (before the program read it or after it sent it; JACK's "
        "xruns, below): %lld. Answered later than %lld s: %lld. Settings file %s apart from "
        "the serial.\n",
        m_lostPresses, m_lostLamps, m_lostReturns, m_lostByService,
        static_cast<long long>(duration_cast<seconds>(answerTimeout).count()), m_lateAnswers,
        settingsKept ? "the same" : "CHANGED");
    std::printf("Asked again: %lld preset requests; serial or status requests in %lld episodes.\n",
                presetRepeats, m_logs->requestRepeats.count());
    for (const std::string &failure : failures)
        std::printf("FAIL: %s\n", failure.c_str());
    std::printf("%s\n", failures.empty() ? "PASS" : "Soak FAILED");
    return failures.empty() ? 0 : 1;
}
