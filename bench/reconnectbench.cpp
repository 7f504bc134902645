#include "reconnectbench.h"

#include "benchprogram.h"
#include "jackgraph.h"
#include "linecounter.h"

#include <jack/jack.h>

#include <cstdio>
#include <thread>

namespace {

using namespace std::chrono;

const char unitName[] = "bench-rc";

double microsecondsBetween(BenchPeer::Clock::time_point from, BenchPeer::Clock::time_point to)
{
    return duration<double, std::micro>(to - from).count();
}

} // namespace

ReconnectBench::ReconnectBench(const QString &program, int rounds)
    : program(program), rounds(rounds)
{
    // ALSA has no graph announcements to wait for.
    if (!BenchPeer::onAlsa())
        graphClient = jack_client_open("bench-rc-graph", JackNoStartServer, nullptr);
}

ReconnectBench::~ReconnectBench()
{
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(10000))
            process.kill();
        process.waitForFinished(2000);
    }
    unit.reset();
    if (graphClient)
        jack_client_close(graphClient);
}

bool ReconnectBench::startProgram()
{
    BenchProgram::writeSettings(workDir.path(), *unit, nullptr);
    return BenchProgram::start(process, program, workDir.path(), false) &&
           unit->waitForArrivals(1, milliseconds(10000));
}

int ReconnectBench::run()
{
    unit = std::make_unique<BenchPeer>(unitName);
    if ((!graphClient && !BenchPeer::onAlsa()) || !workDir.isValid() || !startProgram()) {
        std::fprintf(stderr, "bench: the program did not ask the unit for its serial number\n");
        return 1;
    }
    LineCounter gone((workDir.path() + "/stderr.log").toStdString(), "Ports  : hardware gone");
    for (int round = 0; round < rounds; ++round) {
        // The program has finished with the last change before the next.
        std::this_thread::sleep_for(milliseconds(300));
        const long long goneBefore = gone.count();
        // libjack can crash when a port goes while a graph change is being
        // announced; the wait is before the clock starts.
        JackGraph::awaitAnnouncements(graphClient);
        const auto unplugged = BenchPeer::Clock::now();
        unit.reset();
        unplugUs.add(microsecondsBetween(unplugged, BenchPeer::Clock::now()));
        while (gone.count() == goneBefore) {
            if (BenchPeer::Clock::now() - unplugged > seconds(5)) {
                std::fprintf(stderr, "bench: the program did not see the unit go\n");
                return 1;
            }
            std::this_thread::sleep_for(microseconds(200));
        }
        goneUs.add(microsecondsBetween(unplugged, BenchPeer::Clock::now()));

        std::this_thread::sleep_for(milliseconds(300));
        const auto plugged = BenchPeer::Clock::now();
        unit = std::make_unique<BenchPeer>(unitName);
        // A request the service loses (a JACK xrun) is counted, not timed.
        if (unit->waitForArrivals(1, milliseconds(2000)))
            backUs.add(microsecondsBetween(plugged, unit->arrival(0).time));
        else
            ++lostRequests;
    }
    printTable();
    return 0;
}

void ReconnectBench::printTable() const
{
    LatencyStats::printMilliseconds("Unit unplugged and back (ms)",
                                    {{"unplugging (the stand-in's ports closing)", &unplugUs},
                                     {"ports gone -> grey lamp (log line seen)", &goneUs},
                                     {"ports back -> serial request at the unit", &backUs}});
    std::printf("Serial requests lost by the service and not timed: %d\n", lostRequests);
}
