#include "soakrun.h"

#include "benchpeer.h"
#include "hardmessages.h"
#include "jackmidiclient.h"
#include "linecounter.h"
#include "midiportpair.h"
#include "processprobe.h"
#include "remoteprotocol.h"
#include "serviceclients.h"
#include "soaksettings.h"

#include <RtMidi.h>

#include <cstdio>
#include <fstream>
#include <poll.h>
#include <thread>

namespace {

using namespace std::chrono;

enum Source
{
    FromUnit,
    FromPads
};

const ByteVector serial{0x51, 0x0A, 0x4B, 0x1C, 0x2D, 0x3E, 0x4F, 0x60};
constexpr milliseconds answerTimeout{2000};
constexpr milliseconds lateTimeout{8000};
constexpr milliseconds returnTimeout{10000};
// The foot switch chooses preset 3 (the dialog's list starts with "none").
constexpr int footSwitchIndex = 2;

} // namespace

SoakRun::SoakRun(const Options &options) : m_options(options), m_unit(serial)
{
    if (!BenchPeer::onAlsa())
        m_jackClient = JackMidiClient::shared("tarn-soak");
    plugUnit();
    plugPads();
    m_clients = std::make_unique<ServiceClients>();
}

SoakRun::~SoakRun()
{
    if (m_program.state() != QProcess::NotRunning) {
        m_program.kill();
        m_program.waitForFinished(2000);
    }
    m_unitPorts.reset();
    m_padsPorts.reset();
}

// The unit's or the pads' ports, named as the program's setting file names them.
static std::unique_ptr<MidiPortPair> devicePorts(const char *device, bool unit, MessageQueue &queue)
{
    const std::string name = std::string("soak-") + device;
    return std::make_unique<MidiPortPair>(
        RtMidi::Api(BenchPeer::api()),
        MidiPortPair::Names{"tarn-soak", name + " In", name + " Out", std::string(device) + "-in",
                            std::string(device) + "-out"},
        unit, queue, unit ? FromUnit : FromPads);
}

void SoakRun::plugUnit()
{
    m_unitPorts = devicePorts("unit", true, m_queue);
}

void SoakRun::plugPads()
{
    // Plugged in again, the controller's lamps are dark until the program lights them.
    m_pads = SimulatedPads();
    m_padsPorts = devicePorts("pads", false, m_queue);
}

bool SoakRun::startProgram()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", m_workDir.path() + "/config");
    if (!environment.contains("QT_QPA_PLATFORM"))
        environment.insert("QT_QPA_PLATFORM", "offscreen");
    // What the program received (its input callback prints every message)
    // and what it sent for it (its own timing lines) tell where a loss was.
    environment.insert("TARNAPP_TIMING", "1");
    m_program.setProcessEnvironment(environment);
    m_program.setStandardOutputFile(m_workDir.path() + "/stdout.log", QIODevice::Truncate);
    m_program.setStandardErrorFile(m_workDir.path() + "/stderr.log", QIODevice::Truncate);
    m_program.setProgram(m_options.program);
    m_program.start();
    if (!m_program.waitForStarted(5000)) {
        std::fprintf(stderr, "soak: cannot start %s\n", qPrintable(m_options.program));
        return false;
    }
    return true;
}

bool SoakRun::stopProgram()
{
    m_program.terminate();
    if (!m_program.waitForFinished(10000)) {
        std::fprintf(stderr, "soak: the program did not end within 10 s of SIGTERM\n");
        return false;
    }
    if (m_program.exitStatus() != QProcess::NormalExit || m_program.exitCode() != 0) {
        std::fprintf(stderr, "soak: the program ended with code %d\n", m_program.exitCode());
        return false;
    }
    return true;
}

bool SoakRun::programAlive() const
{
    std::ifstream status("/proc/" + std::to_string(m_program.processId()) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, 6, "State:") == 0)
            return line.find('Z') == std::string::npos;
    }
    return false;
}

void SoakRun::take()
{
    for (MessageQueue::Entry &entry : m_queue.takeAll()) {
        if (entry.source == FromPads) {
            m_lampNotes += m_pads.receive(entry.bytes);
            continue;
        }
        const Clock::time_point now = Clock::now();
        const ByteVector &bytes = entry.bytes;
        if (bytes == makeSerialRequest())
            ++m_serialRequests;
        else if (bytes.size() == 14 && bytes[10] == 0x06) {
            ++m_presetRequests;
            m_lastRequestedIndex = bytes[11];
            m_lastRequestTime = now;
        }
        const SimulatedUnit::Answer answer = m_unit.receive(bytes);
        if (!answer.reply.empty() && m_unitPorts)
            m_unitPorts->send(answer.reply);
    }
}

bool SoakRun::waitUntil(const std::function<bool()> &done, milliseconds timeout)
{
    // The arrival is taken as the moment poll wakes: this thread waits for nothing else.
    const Clock::time_point end = Clock::now() + timeout;
    for (;;) {
        take();
        if (done())
            return true;
        const auto left = duration_cast<milliseconds>(end - Clock::now()).count();
        if (left <= 0 || !programAlive())
            return false;
        pollfd wake{m_queue.wakeFd(), POLLIN, 0};
        poll(&wake, 1, int(std::min<long long>(left, 10)));
    }
}

bool SoakRun::lampsShowUnit() const
{
    for (int pad = 0; pad < RemoteProtocol::PadCount; ++pad) {
        if (m_pads.isLit(pad) != (pad == m_unit.preset() - 1))
            return false;
    }
    return true;
}

bool SoakRun::linkComplete(size_t lampsBefore)
{
    return waitUntil([&] { return m_lampNotes >= lampsBefore + 6 && lampsShowUnit(); },
                     returnTimeout);
}

bool SoakRun::press(int number)
{
    // A preset neither the unit's nor the one the pads show: after a reply
    // that the service lost the two differ, and the program lights nothing
    // for a status that it already shows. Every tenth press is the foot
    // switch, when its preset is such a one.
    const int current = m_unit.preset() - 1;
    int shown = -1;
    for (int pad = 0; pad < RemoteProtocol::PadCount; ++pad)
        shown = m_pads.isLit(pad) ? pad : shown;
    const auto fresh = [&](int index) { return index != current && index != shown; };
    const bool foot = number % 10 == 9 && fresh(footSwitchIndex);
    int target = footSwitchIndex;
    if (!foot) {
        std::uniform_int_distribution<int> pad(0, RemoteProtocol::PadCount - 1);
        do
            target = pad(m_random);
        while (!fresh(target));
    }
    const Trail pressTrail = trail(*m_notesIn, *m_requestsOut);
    const Trail replyTrail = trail(*m_repliesIn, *m_lampsOut);
    const size_t requestsBefore = m_presetRequests;
    const size_t lampsBefore = m_lampNotes;
    const Clock::time_point sent = Clock::now();
    m_padsPorts->send(foot ? SimulatedPads::footSwitch() : SimulatedPads::padPress(target + 1));
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
        blame(pressTrail, *m_notesIn, *m_requestsOut, m_lostPresses);
        std::fprintf(stderr, "soak: press %d (%s %d): no request reached the unit\n", number,
                     foot ? "foot switch for preset" : "pad", target + 1);
        return programAlive();
    }
    if (m_lastRequestedIndex != target) {
        std::fprintf(stderr, "soak: press %d asked for preset %d, the unit was asked for %d\n",
                     number, target + 1, m_lastRequestedIndex + 1);
        return false;
    }
    m_window.add(duration<double, std::micro>(m_lastRequestTime - sent).count());
    if (!answered([&] { return m_lampNotes >= lampsBefore + 6 && lampsShowUnit(); })) {
        blame(replyTrail, *m_repliesIn, *m_lampsOut, m_lostLamps);
        std::fprintf(stderr, "soak: press %d: the pads do not show preset %d (%s)\n", number,
                     m_unit.preset(), m_pads.lampRow().c_str());
        return programAlive();
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

bool SoakRun::replugUnit()
{
    // The cable goes back in once the program has noticed it gone.
    const long long goneBefore = m_unitGone->count();
    m_unitPorts.reset();
    if (!waitUntil([&] { return m_unitGone->count() > goneBefore; }, returnTimeout))
        std::fprintf(stderr, "soak: the program did not notice the unit gone\n");
    const size_t serialBefore = m_serialRequests;
    const size_t lampsBefore = m_lampNotes;
    plugUnit();
    if (waitUntil([&] { return m_serialRequests > serialBefore; }, returnTimeout) &&
        linkComplete(lampsBefore))
        return true;
    ++m_lostReturns;
    std::fprintf(stderr, "soak: the unit plugged back in: %zu serial requests, %zu lamp notes\n",
                 m_serialRequests - serialBefore, m_lampNotes - lampsBefore);
    return programAlive();
}

bool SoakRun::replugPads()
{
    const long long goneBefore = m_padsGone->count();
    m_padsPorts.reset();
    if (!waitUntil([&] { return m_padsGone->count() > goneBefore; }, returnTimeout))
        std::fprintf(stderr, "soak: the program did not notice the pads gone\n");
    const size_t lampsBefore = m_lampNotes;
    plugPads();
    if (linkComplete(lampsBefore))
        return true;
    ++m_lostReturns;
    std::fprintf(stderr, "soak: the pads plugged back in got %zu lamp notes\n",
                 m_lampNotes - lampsBefore);
    return programAlive();
}

bool SoakRun::restartServer()
{
    // libjack opens no client of a new server while one of the old is held:
    // the soak's own clients go before the server and come back after it.
    m_unitPorts.reset();
    m_padsPorts.reset();
    m_clients.reset();
    m_jackClient.reset();
    if (!m_server.stop() || !m_server.start())
        return false;
    const Clock::time_point back = Clock::now();
    const size_t serialBefore = m_serialRequests;
    const size_t lampsBefore = m_lampNotes;
    m_jackClient = JackMidiClient::shared("tarn-soak");
    plugUnit();
    plugPads();
    m_clients = std::make_unique<ServiceClients>();
    // The program reopens its ports by itself and asks the unit for its serial.
    const bool asked = waitUntil([&] { return m_serialRequests > serialBefore; }, returnTimeout);
    const double askedAfter = duration<double>(Clock::now() - back).count();
    if (asked && linkComplete(lampsBefore)) {
        std::printf("JACK server stopped and started again (%d of %d): the program asked for the "
                    "serial %.2f s after its return, the pads lit %.2f s after\n",
                    ++m_restarts, m_options.serverRestarts, askedAfter,
                    duration<double>(Clock::now() - back).count());
        return true;
    }
    ++m_lostReturns;
    std::fprintf(stderr, "soak: after the server's return: %zu serial requests, %zu lamp notes\n",
                 m_serialRequests - serialBefore, m_lampNotes - lampsBefore);
    return programAlive();
}

void SoakRun::restThenSample(int presses)
{
    // At rest: nothing in flight, and the program's deferred work done.
    waitUntil([] { return false; }, milliseconds(500));
    const ProcessProbe probe(m_program.processId());
    SoakSamples::Sample sample;
    sample.presses = presses;
    sample.seconds = duration<double>(Clock::now() - m_start).count();
    sample.rssKb = probe.residentKb();
    sample.files = probe.openFiles();
    sample.threads = probe.threadCount();
    sample.clients = m_clients->count(m_program.processId());
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
    if (!m_workDir.isValid())
        return 1;
    std::printf("Soak: %d presses (every 10th the foot switch), the unit unplugged every %d, the "
                "pads every %d; samples every %d, at rest\n",
                m_options.presses, m_options.unitReplugEvery, m_options.padsReplugEvery,
                m_options.sampleEvery);
    const bool restarts = !BenchPeer::onAlsa() && m_server.available();
    if (restarts)
        std::printf("The JACK server stopped and started again %d times, evenly spread\n",
                    m_options.serverRestarts);
    else
        std::printf("Not in this run: stopping and starting the server (%s)\n",
                    BenchPeer::onAlsa() ? "the ALSA sequencer is the kernel's"
                                        : "no server given: run through bench/run.sh --soak");
    std::printf("Not in this run: the settings dialog (every %d: the program has no way to be "
                "driven to it from outside)\n\n",
                m_options.settingsEvery);
    const SoakSettings settings(m_workDir.path() + "/config");
    settings.write(m_unitPorts->outName(), m_unitPorts->inName(), m_padsPorts->outName(),
                   m_padsPorts->inName(), footSwitchIndex);
    const std::map<QString, QString> settingsAtStart = settings.read();
    m_unit.choosePreset(1); // the unit starts on preset 1, so the first status lights a pad
    m_start = Clock::now();
    if (!startProgram())
        return 1;
    const std::string log = (m_workDir.path() + "/stderr.log").toStdString();
    m_unitGone = std::make_unique<LineCounter>(log, "Ports  : hardware gone");
    m_padsGone = std::make_unique<LineCounter>(log, "Ports  : remote gone");
    const std::string out = (m_workDir.path() + "/stdout.log").toStdString();
    m_notesIn = std::make_unique<LineCounter>(out, "Byte 0 = 144, ");
    m_repliesIn = std::make_unique<LineCounter>(out, "Byte 0 = 240, ");
    m_requestsOut = std::make_unique<LineCounter>(log, "Timing : 90 1 ");
    m_lampsOut = std::make_unique<LineCounter>(log, "Timing : F0 6 ");
    if (!waitUntil([&] { return m_serialRequests > 0; }, returnTimeout) || !linkComplete(0)) {
        std::fprintf(stderr, "soak: the program did not complete the link at start\n");
        return 1;
    }
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
            ok = replugUnit();
        if (ok && n % m_options.padsReplugEvery == 0)
            ok = replugPads();
        const int restartEvery = m_options.presses / (m_options.serverRestarts + 1);
        if (ok && restarts && restartEvery > 0 && n % restartEvery == 0 &&
            n / restartEvery <= m_options.serverRestarts)
            ok = restartServer();
        if (ok && n % m_options.sampleEvery == 0)
            restThenSample(n);
    }
    if (!ok || !programAlive()) {
        std::fprintf(stderr, "soak: the program ended or went wrong during the run\n");
        return 1;
    }
    if (!stopProgram())
        return 1;
    const bool settingsKept = SoakSettings::same(settingsAtStart, settings.read());
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
    std::printf(
        "\nLost by the program: %lld presses, %lld lamp feedbacks, %lld device returns. "
        "Lost by the service (before the program read it or after it sent it; JACK's "
        "xruns, below): %lld. Answered later than %lld s: %lld. Settings file %s apart from "
        "the serial.\n",
        m_lostPresses, m_lostLamps, m_lostReturns, m_lostByService,
        static_cast<long long>(duration_cast<seconds>(answerTimeout).count()), m_lateAnswers,
        settingsKept ? "the same" : "CHANGED");
    for (const std::string &failure : failures)
        std::printf("FAIL: %s\n", failure.c_str());
    std::printf("%s\n", failures.empty() ? "PASS" : "Soak FAILED");
    return failures.empty() ? 0 : 1;
}
