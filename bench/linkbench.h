#ifndef LINKBENCH_H
#define LINKBENCH_H

#include "latencystats.h"
#include "programrun.h"
#include "simulateddevice.h"

#include <QString>

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
    LinkBench(const QString &program, int rounds) : program(program), rounds(rounds) {}

    // Runs the rounds and prints the table; the process exit code.
    int run();

private:
    // Waits for the unit's next request (from index on) and answers it.
    bool answerNext(size_t &index, const ByteVector &reply);
    void printTable() const;

    QString program;
    int rounds;
    std::unique_ptr<SimulatedDevice> unit, pads;
    std::unique_ptr<ProgramRun> process;
    LatencyStats flagUs, recoverUs;
    int presetRequestsSent = 0;
};

#endif
