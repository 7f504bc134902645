#include "messagequeue.h"

#include <fcntl.h>
#include <system_error>
#include <unistd.h>

MessageQueue::MessageQueue()
{
    if (pipe2(pipeFds, O_NONBLOCK | O_CLOEXEC) != 0)
        throw std::system_error(errno, std::generic_category(), "pipe2");
}

MessageQueue::~MessageQueue()
{
    close(pipeFds[0]);
    close(pipeFds[1]);
}

void MessageQueue::push(int source, const ByteVector &bytes)
{
    const auto now = std::chrono::steady_clock::now();
    std::lock_guard<std::mutex> lock(mutex);
    entries.push_back({source, bytes, now});
    // A full pipe already wakes the loop, so a failed write loses nothing.
    const char wake = 1;
    [[maybe_unused]] const ssize_t written = write(pipeFds[1], &wake, 1);
}

std::deque<MessageQueue::Entry> MessageQueue::takeAll()
{
    std::lock_guard<std::mutex> lock(mutex);
    char drain[64];
    while (read(pipeFds[0], drain, sizeof drain) > 0) {
    }
    std::deque<Entry> taken;
    taken.swap(entries);
    return taken;
}
