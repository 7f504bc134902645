#include "debugcapture.h"

#include <mutex>

namespace {
std::mutex mutex;
QStringList captured;
} // namespace

DebugCapture::DebugCapture()
{
    std::lock_guard<std::mutex> lock(mutex);
    captured.clear();
    previous = qInstallMessageHandler(&DebugCapture::handler);
}

DebugCapture::~DebugCapture()
{
    std::lock_guard<std::mutex> lock(mutex);
    qInstallMessageHandler(previous);
}

void DebugCapture::handler(QtMsgType, const QMessageLogContext &, const QString &text)
{
    std::lock_guard<std::mutex> lock(mutex);
    captured << text;
}

QStringList DebugCapture::lines(const QString &prefix) const
{
    std::lock_guard<std::mutex> lock(mutex);
    QStringList found;
    for (const QString &line : captured)
        if (line.startsWith(prefix))
            found << line;
    return found;
}

void DebugCapture::clear()
{
    std::lock_guard<std::mutex> lock(mutex);
    captured.clear();
}
