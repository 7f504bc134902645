#ifndef DEBUGCAPTURE_H
#define DEBUGCAPTURE_H

#include <QStringList>

// Collects the lines written through Qt's message logger (qDebug and the
// like) while it exists, from any thread, instead of printing them. One at a
// time. Made and read on the GUI thread.
class DebugCapture
{
public:
    DebugCapture();
    ~DebugCapture();
    DebugCapture(const DebugCapture &) = delete;
    DebugCapture &operator=(const DebugCapture &) = delete;

    // The lines so far that start with prefix.
    QStringList lines(const QString &prefix = QString()) const;
    void clear();

private:
    QtMessageHandler previous;
};

#endif
