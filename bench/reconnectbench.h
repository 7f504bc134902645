#ifndef RECONNECTBENCH_H
#define RECONNECTBENCH_H

#include "benchpeer.h"
#include "latencystats.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

typedef struct _jack_client jack_client_t;

// How fast the real TarnApp process follows a unit that is unplugged and
// plugged back in, on the JACK server named by JACK_DEFAULT_SERVER: from the
// unit's ports going to the grey lamp (the program's "Ports  : hardware
// gone" line, read from its standard error) and from the ports appearing to
// the serial request at the unit. Main thread; arrivals are stamped on
// JACK's threads.
class ReconnectBench
{
public:
    ReconnectBench(const QString &program, int rounds);
    ~ReconnectBench();

    // Runs the rounds and prints the table; the process exit code.
    int run();

private:
    bool startProgram();
    void printTable() const;

    QString program;
    int rounds;
    QTemporaryDir workDir;
    QProcess process;
    std::unique_ptr<BenchPeer> unit;
    jack_client_t *graphClient = nullptr;
    LatencyStats unplugUs, goneUs, backUs;
    int lostRequests = 0;
};

#endif
