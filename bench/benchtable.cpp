// What the benchmark prints: its table of figures, and the machine and load
// it ran on. Main thread.
#include "tarnappbench.h"

#include <cstdio>
#include <fstream>
#include <sys/utsname.h>
#include <unistd.h>

std::string TarnAppBench::loadAverage()
{
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

std::string TarnAppBench::machineDescription()
{
    std::string model = "unknown CPU";
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line)) {
        if (line.compare(0, 10, "model name") == 0) {
            model = line.substr(line.find(':') + 2);
            break;
        }
    }
    utsname names{};
    uname(&names);
    return std::to_string(sysconf(_SC_NPROCESSORS_ONLN)) + " x " + model + ", " + names.sysname +
           " " + names.release;
}

void TarnAppBench::printTable(int programExitCode) const
{
    auto ms = [](double us) { return us / 1000.0; };
    std::printf("%-44s %6s %9s %9s %9s\n", "Latency (ms)", "n", "p50", "p99", "max");
    std::printf("%-44s %6zu %9.2f %9.2f %9.2f\n", "floor: peer -> echo client -> peer",
                m_floorUs.count(), ms(m_floorUs.percentile(50)), ms(m_floorUs.percentile(99)),
                ms(m_floorUs.max()));
    const std::pair<const char *, const LatencyStats *> paths[] = {
        {"pad press -> preset request at the unit", &m_pressUs},
        {"status reply -> 6th feedback note at pads", &m_feedbackUs}};
    for (const auto &path : paths) {
        const LatencyStats &stats = *path.second;
        std::printf("%-44s %6zu %9.2f %9.2f %9.2f\n", path.first, stats.count(),
                    ms(stats.percentile(50)), ms(stats.percentile(99)), ms(stats.max()));
    }
    std::printf("\n%-44s %9s %9s %9s %9s\n", "Through the program vs. floor", "+p50 ms", "+p99 ms",
                "p50 ratio", "p99 ratio");
    for (const auto &path : paths) {
        const LatencyStats &stats = *path.second;
        const double added99 = ms(stats.percentile(99) - m_floorUs.percentile(99));
        std::printf("%-44s %9.2f %9.2f %9.2f %9.2f   target +p99 < 1 ms: %s\n", path.first,
                    ms(stats.percentile(50) - m_floorUs.percentile(50)), added99,
                    stats.percentile(50) / m_floorUs.percentile(50),
                    stats.percentile(99) / m_floorUs.percentile(99),
                    added99 < 1.0 ? "met" : "NOT met");
    }

    std::printf("\n%-44s %6s %9s %9s %9s\n", "The program's own time (us)", "n", "p50", "p99",
                "max");
    const std::pair<const char *, const LatencyStats *> ownPaths[] = {
        {"pad press -> preset request handed over", &m_ownPressUs},
        {"status reply -> 6th feedback note handed over", &m_ownFeedbackUs}};
    for (const auto &path : ownPaths) {
        const LatencyStats &stats = *path.second;
        std::printf("%-44s %6zu %9.0f %9.0f %9.0f\n", path.first, stats.count(),
                    stats.percentile(50), stats.percentile(99), stats.max());
    }

    std::printf("\n%-44s %6zu %9.1f %9.1f %9.1f (min, median, max ms)\n",
                "start -> serial request at the unit", m_startupUs.count(), ms(m_startupUs.min()),
                ms(m_startupUs.percentile(50)), ms(m_startupUs.max()));

    const long long growth = m_rssAfterFloodKb - m_rssAfterStartKb;
    std::printf("\n%-44s %9lld kB (anonymous %lld kB)\n", "resident memory after start",
                m_rssAfterStartKb, m_anonAfterStartKb);
    std::printf(
        "%-44s %9lld kB (anonymous %lld kB; peak %lld kB; flood took %.1f s)\n",
        qPrintable(QString("resident memory after %1 messages").arg(m_options.floodMessages)),
        m_rssAfterFloodKb, m_anonAfterFloodKb, m_peakAfterFloodKb, m_floodSeconds);
    std::printf("%-44s %+9lld kB (anonymous %+lld kB)   target <= 2048 kB: %s\n",
                "growth across the flood", growth, m_anonAfterFloodKb - m_anonAfterStartKb,
                growth <= 2048 ? "met" : "NOT met");

    std::printf("\nCPU time in %d idle seconds (utime+stime, %ld ticks/s):\n",
                m_options.idleSeconds, sysconf(_SC_CLK_TCK));
    std::printf("  %-42s %9.0f ms   target 0: %s\n",
                qPrintable(QString("TarnApp, whole process (%1 threads)").arg(m_programThreads)),
                m_idleProgramMs, m_idleProgramMs == 0 ? "met" : "NOT met");
    std::printf("  %-42s %9.0f ms   target 0: %s\n", "TarnApp, GUI thread alone", m_idleGuiMs,
                m_idleGuiMs == 0 ? "met" : "NOT met");
    std::printf("  %-42s %9.0f ms\n", "echo client (2 library clients), for comparison",
                m_idleEchoMs);
    std::printf("\nLost by the service and not timed (JACK xruns): %lld starts, %lld floor "
                "echoes, %lld presses, %lld feedbacks; %lld flood messages sent again; %lld "
                "feedbacks garbled\n",
                m_lost.startups, m_lost.floor, m_lost.presses, m_lost.feedbacks, m_lost.flood,
                m_lost.garbled);
    std::printf("Load average at the start: %s; at the end: %s\n", m_loadAtStart.c_str(),
                loadAverage().c_str());
    std::printf("Program exit code after SIGTERM: %d\n", programExitCode);
}
