#include "debugcapture.h"

namespace {
DebugCapture *active = nullptr;
std::mutex activeMutex;
} // namespace

DebugCapture::DebugCapture()
{
    std::lock_guard<std::mutex> lock(activeMutex);
    Q_ASSERT(!active);
    active = this;
    m_previous = qInstallMessageHandler(&DebugCapture::handler);
}

DebugCapture::~DebugCapture()
{
    std::lock_guard<std::mutex> lock(activeMutex);
    qInstallMessageHandler(m_previous);
    active = nullptr;
}

void DebugCapture::handler(QtMsgType, const QMessageLogContext &, const QString &text)
{
    std::lock_guard<std::mutex> lock(activeMutex);
    if (!active)
        return;
    std::lock_guard<std::mutex> linesLock(active->m_mutex);
    active->m_lines << text;
}

QStringList DebugCapture::lines() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lines;
}

QStringList DebugCapture::lines(const QString &prefix) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    QStringList found;
    for (const QString &line : m_lines) {
        if (line.startsWith(prefix))
            found << line;
    }
    return found;
}

void DebugCapture::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lines.clear();
}
