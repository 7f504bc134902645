#ifndef SOAKRUN_H
#define SOAKRUN_H

#include "jackserverswitch.h"
#include "latencystats.h"
#include "messagequeue.h"
#include "simulatedpads.h"
#include "simulatedunit.h"
#include "soaksamples.h"

#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

class JackMidiClient;
class LineCounter;
class MidiPortPair;
class ServiceClients;

// One compressed gig through the real TarnApp process: the simulator's unit
// and pads, in this process, answer and light as the devices would, while
// presses come in bursts, the unit and the pads are unplugged and plugged
// back, and the program is sampled every so many presses. Main thread only;
// the library's input threads only queue.
class SoakRun
{
public:
    struct Options
    {
        QString program;
        int presses = 20000;
        int sampleEvery = 1000;
        int unitReplugEvery = 500;
        int padsReplugEvery = 2000;
        int settingsEvery = 5000;
        int serverRestarts = 3; // on JACK, spread evenly over the run
        QString csv;
    };

    explicit SoakRun(const Options &options);
    ~SoakRun();

    // Runs the gig, prints the table and the verdict; the exit code.
    int run();

private:
    using Clock = std::chrono::steady_clock;
    // How far the program's logs had got: messages received, answers sent.
    struct Trail
    {
        long long received = 0, sent = 0;
    };

    bool startProgram();
    bool stopProgram();
    bool programAlive() const;
    void plugUnit();
    void plugPads();
    bool waitUntil(const std::function<bool()> &done, std::chrono::milliseconds timeout);
    void take();
    bool lampsShowUnit() const;
    bool linkComplete(size_t lampsBefore);
    bool press(int number);
    static Trail trail(LineCounter &in, LineCounter &out);
    // Counts a lost message against the program or the service, by its trail.
    void blame(const Trail &before, LineCounter &in, LineCounter &out, long long &programLoss);
    bool replugUnit();
    bool replugPads();
    bool restartServer();
    void restThenSample(int presses);
    int verdict(bool settingsKept) const;

    Options m_options;
    QTemporaryDir m_workDir;
    QProcess m_program;
    MessageQueue m_queue;
    std::shared_ptr<JackMidiClient> m_jackClient;
    std::unique_ptr<MidiPortPair> m_unitPorts, m_padsPorts;
    std::unique_ptr<ServiceClients> m_clients;
    JackServerSwitch m_server;
    // The program's log lines that say a device has gone.
    std::unique_ptr<LineCounter> m_unitGone, m_padsGone;
    // Its input callback's lines (pad notes, unit replies) and its timing
    // lines (preset requests, sixth lamp notes).
    std::unique_ptr<LineCounter> m_notesIn, m_repliesIn, m_requestsOut, m_lampsOut;
    SimulatedUnit m_unit;
    SimulatedPads m_pads;
    std::mt19937 m_random{20261207};
    Clock::time_point m_start;

    // What the devices received.
    size_t m_serialRequests = 0, m_presetRequests = 0, m_lampNotes = 0;
    int m_lastRequestedIndex = -1;
    Clock::time_point m_lastRequestTime;

    LatencyStats m_window;
    long long m_lostPresses = 0, m_lostLamps = 0, m_lostReturns = 0, m_lostByService = 0;
    long long m_lateAnswers = 0;
    int m_restarts = 0;
    SoakSamples m_samples{m_options.csv};
};

#endif
