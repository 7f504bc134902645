#include "messagetiming.h"

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

// The message whose receivers run now; GUI thread only.
struct Current
{
    qint64 stamp = 0;
    int status = 0;
    std::vector<qint64> sends;
};
Current current;

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

const bool MessageTiming::on = qEnvironmentVariableIntValue("TARNAPP_TIMING") == 1;

void MessageTiming::begin(int status)
{
    stamp = nowNs();
    // Queued to the GUI thread ahead of the message's slot calls, so they
    // run with it current.
    if (QCoreApplication *application = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            application,
            [stamp = stamp, status] {
                current = {stamp, status, {}};
            },
            Qt::QueuedConnection);
}

void MessageTiming::end()
{
    // Queued behind the slot calls; the lines are written after the sends,
    // so that writing them is not part of the time.
    if (QCoreApplication *application = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            application,
            [stamp = stamp] {
                if (current.stamp != stamp)
                    return;
                for (size_t i = 0; i < current.sends.size(); ++i)
                    std::fprintf(stderr, "Timing : %02X %zu %lld us\n", current.status, i + 1,
                                 static_cast<long long>((current.sends[i] - stamp) / 1000));
                current = {};
            },
            Qt::QueuedConnection);
}

void MessageTiming::record()
{
    if (current.stamp != 0)
        current.sends.push_back(nowNs());
}
