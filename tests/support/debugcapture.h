#ifndef DEBUGCAPTURE_H
#define DEBUGCAPTURE_H

#include <QStringList>

#include <mutex>

// Collects the lines written through Qt's message logger (qDebug and the
// like) while it exists, from any thread, instead of printing them. One at a
// time; the handler before it comes back on destruction. Made and read on
// the GUI thread.
class DebugCapture
{
public:
    DebugCapture();
    ~DebugCapture();
    DebugCapture(const DebugCapture &) = delete;
    DebugCapture &operator=(const DebugCapture &) = delete;

    QStringList lines() const;
    // The lines that start with prefix.
    QStringList lines(const QString &prefix) const;
    void clear();

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &text);

    QtMessageHandler m_previous;
    mutable std::mutex m_mutex;
    QStringList m_lines;
};

#endif
