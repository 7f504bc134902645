#ifndef SOAKRUN_H
#define SOAKRUN_H

#include "jackserverswitch.h"
#include "latencystats.h"
#include "programrun.h"
#include "settingsvisit.h"
#include "simulateddevice.h"
#include "soaklogs.h"
#include "soaksamples.h"

#include <chrono>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

class ServiceClients;

// One compressed gig through the real TarnApp process: the simulator's unit
// and pads, in this process, answer and light as the devices would, while
// presses come in bursts, the unit and the pads are unplugged and plugged
// back (each unit's return timed), the settings dialog is opened and closed
// with OK, and the program is sampled every so many presses. Main thread
// only; the library's input threads only queue. The returns are in
// soakreturns.cpp.
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
    // What the program and the devices had sent and received of SysEx and
    // lamp notes when a device's return began.
    struct Tally
    {
        long long programOut = 0, programIn = 0, devicesIn = 0, devicesOut = 0;
    };

    bool waitUntil(const std::function<bool()> &done, std::chrono::milliseconds timeout,
                   int pollMs = 10);
    // Handles what has arrived: the unit answers and its requests are
    // counted, the pads light.
    void take();
    // The lit pad, -1 for none; whether the unit's preset's pad alone is lit.
    int litPad() const;
    bool lampsShowUnit() const;
    bool linkComplete(size_t lampsBefore);
    bool press(int number);
    static Trail trail(LineCounter &in, LineCounter &out);
    // Counts a lost message against the program or the service, by its trail.
    void blame(const Trail &before, LineCounter &in, LineCounter &out, long long &programLoss);
    Tally tally();
    // A device that did not come back: its messages' counts tell whether the
    // service lost one on the way (true, counted as the service's); the
    // return is the program's loss either way, since it asks again.
    bool lostByService(const Tally &before);
    enum class Device
    {
        Unit,
        Pads
    };
    bool replug(Device device);
    bool restartServer();
    bool visitSettings();
    void restThenSample(int presses);
    void printReturns() const;
    int verdict(bool settingsKept) const;

    Options m_options;
    SettingsVisit m_visit;
    SimulatedDevice m_unit, m_pads;
    std::unique_ptr<ProgramRun> m_program;
    std::unique_ptr<SoakLogs> m_logs;
    std::unique_ptr<ServiceClients> m_clients;
    JackServerSwitch m_server;
    // What the unit was asked, and the last preset request's index and time.
    size_t m_serialRequests = 0, m_presetRequests = 0;
    std::vector<Clock::time_point> m_serialTimes;
    int m_lastRequestedIndex = -1;
    Clock::time_point m_lastRequestTime;
    size_t m_unitHeard = 0;
    std::mt19937 m_random{20261207};
    Clock::time_point m_start;

    LatencyStats m_window;
    // The unit's returns: unplugging, ports gone -> the program's line, ports
    // back -> the serial request at the unit.
    LatencyStats m_unplugUs, m_goneUs, m_backUs;
    int m_lostSerials = 0;
    long long m_lostPresses = 0, m_lostLamps = 0, m_lostReturns = 0, m_lostByService = 0;
    long long m_lateAnswers = 0;
    int m_restarts = 0, m_visits = 0, m_failedVisits = 0;
    SoakSamples m_samples{m_options.csv};
};

#endif
