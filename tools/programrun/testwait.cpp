#include "testwait.h"

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
        QEventLoop loop;
        QTimer::singleShot(2, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

} // namespace TestWait
