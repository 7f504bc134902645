#ifndef OWNTIMES_H
#define OWNTIMES_H

#include "latencystats.h"

#include <string>

// The program's own time per message, as it writes it to standard error with
// TARNAPP_TIMING=1 ("Timing : SS N T us": the received message's status byte,
// the number of the send it caused, microseconds from the hand-over to the
// send). Reads what the file gained since mark(). Benchmark main thread.
class OwnTimes
{
public:
    explicit OwnTimes(std::string path) : m_path(std::move(path)) {}

    void mark();
    // Adds to stats the times of the sends numbered send after messages of
    // the status byte, written since mark(); returns how many.
    size_t collect(int status, int send, LatencyStats &stats) const;

private:
    std::string m_path;
    long long m_offset = 0;
};

#endif
