#ifndef BOXWATCHER_H
#define BOXWATCHER_H

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class QMessageBox;

// Watches message boxes from inside whatever nested event loop runs: records
// each box that opens (title, text), the most boxes and modal windows open
// at once, the deepest nesting of event loops, and how far a probe value (e.g. lines
// logged) moved while a box was open; closes every box after it has been
// open for a while. GUI thread (a timer).
class BoxWatcher : public QObject
{
    Q_OBJECT
public:
    struct Box
    {
        QString title;
        QString text;
    };

    explicit BoxWatcher(int closeAfterMs, std::function<int()> probe = {});

    QList<Box> boxes() const { return m_boxes; }
    int count(const QString &title) const;
    int maxOpen() const { return m_maxOpen; }
    int maxOpen(const QString &title) const { return m_maxOpenByTitle.value(title); }
    // Most modal windows (boxes, dialogs) open at once, each running its loop.
    int maxModal() const { return m_maxModal; }
    // Deepest QThread::loopLevel seen, the test's own waiting included.
    int maxLoopLevel() const { return m_maxLoopLevel; }
    int maxProbeGrowthWhileOpen() const { return m_maxProbeGrowth; }

private:
    void poll();

    struct Open
    {
        QMessageBox *box;
        qint64 openedAt;
        int probeAtOpen;
    };

    int m_closeAfterMs;
    std::function<int()> m_probe;
    QTimer m_timer;
    QElapsedTimer m_clock;
    QList<Open> m_open;
    QList<Box> m_boxes;
    QHash<QString, int> m_maxOpenByTitle;
    int m_maxOpen = 0;
    int m_maxModal = 0;
    int m_maxLoopLevel = 0;
    int m_maxProbeGrowth = 0;
};

#endif
