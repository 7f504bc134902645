#ifndef LINKBENCH_H
#define LINKBENCH_H

#include "benchpeer.h"
#include "latencystats.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// How fast the real TarnApp process tells a unit that stops answering and
// takes it back when it answers again: from a pad press that the unit does
// not answer to the program's "Link   : unit not answering" line, and from
// the unit's first answer after the silence to its "Link   : unit answering
// again" line (written as the link turns complete). Main thread; arrivals are
// stamped on the service's threads.
class LinkBench
{
public:
    LinkBench(const QString &program, int rounds);
    ~LinkBench();

    // Runs the rounds and prints the table; the process exit code.
    int run();

private:
    bool startProgram();
    // Waits for the unit's next request (from index on) and answers it.
    bool answerNext(size_t &index, const BenchPeer::Bytes &reply);
    void printTable() const;

    QString program;
    int rounds;
    QTemporaryDir workDir;
    QProcess process;
    std::unique_ptr<BenchPeer> unit, pads;
    LatencyStats flagUs, recoverUs;
    int presetRequestsSent = 0;
};

#endif
