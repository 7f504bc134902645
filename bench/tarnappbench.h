#ifndef TARNAPPBENCH_H
#define TARNAPPBENCH_H

#include "latencystats.h"
#include "programrun.h"
#include "simulateddevice.h"

#include <memory>
#include <random>
#include <string>
#include <vector>

// The benchmark of the real TarnApp process on the JACK server named by
// JACK_DEFAULT_SERVER or on ALSA (see SimulatedDevice::onAlsa): a unit and pad controller measure,
// from outside, the latency through the program against an echo client (the service's floor), the
// time to the first request, memory across a flood and CPU time while idle, then print a table.
// Runs on the main thread; the devices' arrivals are stamped on the library's threads.
class TarnAppBench
{
public:
    struct Options
    {
        QString program;     // the TarnApp executable
        QString echoCommand; // this executable, run with --echo for the floor
        int presses = 1000;
        int floodMessages = 100000;
        int idleSeconds = 10;
        int startups = 5;
    };

    explicit TarnAppBench(const Options &options);
    ~TarnAppBench();

    // Runs every measurement and prints the table; the process exit code.
    int run();

private:
    bool startEcho();
    bool startProgram();
    bool stopProgram(int *exitCode);
    bool measureStartup();
    bool completeLink();
    bool resynchronise();
    void measureIdle();
    bool measureLatency();
    bool measureFlood();
    void sleepRandomPhase();
    void printTable(int programExitCode) const;
    static std::string machineDescription();
    static std::string loadAverage();

    Options m_options;
    SimulatedDevice m_unit;
    SimulatedDevice m_pads;
    SimulatedDevice m_floor;
    std::unique_ptr<ProgramRun> m_program;
    std::unique_ptr<ProgramRun> m_echo;
    std::mt19937 m_random{20261206};
    int m_sampleRate = 0;
    int m_period = 0;
    int m_currentPreset = 0;
    std::string m_loadAtStart;

    // Results.
    LatencyStats m_floorUs, m_pressUs, m_feedbackUs, m_startupUs;
    // The program's own share of the two paths, as it times itself.
    LatencyStats m_ownPressUs, m_ownFeedbackUs;
    long long m_rssAfterStartKb = -1, m_rssAfterFloodKb = -1, m_peakAfterFloodKb = -1;
    long long m_anonAfterStartKb = -1, m_anonAfterFloodKb = -1;
    double m_floodSeconds = 0;
    // Messages the service lost (JACK xruns), per measurement.
    struct
    {
        long long startups = 0, floor = 0, presses = 0, feedbacks = 0, flood = 0, garbled = 0;
    } m_lost;
    double m_idleProgramMs = -1, m_idleGuiMs = -1, m_idleEchoMs = -1;
    int m_programThreads = 0;
};

#endif
