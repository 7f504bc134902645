#include "testwait.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace TestWait {

bool until(const std::function<bool()> &condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() >= timeoutMs)
            return condition();
        runEventLoop(2);
    }
    return true;
}

void runEventLoop(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool repeatUntilArrived(const std::function<void()> &exchange, const std::function<bool()> &arrived,
                        int attempts, int timeoutMs)
{
    for (int attempt = 0; attempt < attempts; ++attempt) {
        // Stragglers of a failed attempt land before the next one starts
        // from a clean record.
        if (attempt > 0)
            runEventLoop(200);
        exchange();
        if (until(arrived, timeoutMs))
            return true;
        qWarning("TestWait: messages lost in attempt %d, trying again", attempt + 1);
    }
    return false;
}

} // namespace TestWait
