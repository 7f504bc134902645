#ifndef MODALANSWERER_H
#define MODALANSWERER_H

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

class QWidget;

// Answers the modal windows that the program opens while a test drives it,
// so that no test ever waits for a person: each modal window that becomes
// active is recorded and handed to the next queued answer, or closed when no
// answer is queued. Polls on timers, which also run inside the nested event
// loops of the modal windows, so a box opened from within an answer is
// answered too. GUI thread.
class ModalAnswerer : public QObject
{
    Q_OBJECT
public:
    using Answer = std::function<void(QWidget *modal)>;

    // What a modal window showed when it appeared.
    struct Seen
    {
        QString className;
        QString title;
        QString text;       // a message box's text
        int boxesShown = 0; // message boxes visible at that moment, this one included
        QStringList nameFilters;
        QString selectedNameFilter;
    };

    explicit ModalAnswerer(QObject *parent = nullptr);

    void answerNext(const Answer &answer);
    int pendingAnswers() const { return m_answers.size(); }
    QList<Seen> seen() const { return m_seen; }
    QStringList titles() const;
    // Waits (processing events) until count modal windows have appeared.
    bool waitForSeen(int count, int timeoutMs = 5000);

    // Presses OK on a message box; rejects any other dialog.
    static void close(QWidget *modal);
    // A file dialog's answer: picks path and accepts.
    static Answer chooseFile(const QString &path);

private:
    void poll();

    QTimer m_timer;
    QList<Answer> m_answers;
    QList<QPointer<QWidget>> m_handling;
    QList<Seen> m_seen;
};

#endif
