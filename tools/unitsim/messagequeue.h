#ifndef MESSAGEQUEUE_H
#define MESSAGEQUEUE_H

#include "hardmessages.h"

#include <chrono>
#include <deque>
#include <mutex>

// Carries received messages from the MIDI library's input threads (push) to the main loop
// (takeAll), and wakes the main loop's poll() through a pipe. Each message is stamped as it
// arrives, so that a benchmark times the arrival, not the wake-up.
class MessageQueue
{
public:
    struct Entry
    {
        int source; // which port pair received it
        ByteVector bytes;
        std::chrono::steady_clock::time_point time;
    };

    MessageQueue();
    ~MessageQueue();
    MessageQueue(const MessageQueue &) = delete;
    MessageQueue &operator=(const MessageQueue &) = delete;

    void push(int source, const ByteVector &bytes);
    std::deque<Entry> takeAll();
    // Readable while messages wait.
    int wakeFd() const { return pipeFds[0]; }

private:
    std::mutex mutex;
    std::deque<Entry> entries;
    int pipeFds[2] = {-1, -1};
};

#endif
