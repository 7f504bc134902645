#include "debugcapture.h"

#include <mutex>

static std::mutex mutex;
static QStringList captured;

DebugCapture::DebugCapture()
{
    clear();
    previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &text) {
            std::lock_guard<std::mutex> lock(mutex);
            captured << text;
        });
}

DebugCapture::~DebugCapture()
{
    qInstallMessageHandler(previous);
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
