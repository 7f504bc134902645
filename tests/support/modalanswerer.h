#ifndef MODALANSWERER_H
#define MODALANSWERER_H

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

// Answers the modal windows that the program opens while a test drives it,
// so that no test waits for a person: each one that becomes active is
// recorded ("title: text") and handed to the next queued answer, or closed
// when none is queued. Polls on timers, which also run inside the nested
// event loops of modal windows, so a box opened from within an answer is
// answered too. GUI thread.
class ModalAnswerer : public QObject
{
    Q_OBJECT
public:
    using Answer = std::function<void(QWidget *modal)>;

    ModalAnswerer();
    void answerNext(const Answer &answer) { answers << answer; }
    QStringList seen() const { return shown; }
    bool waitForSeen(int count, int timeoutMs = 5000);

    // Presses OK on a message box; rejects any other dialog.
    static void close(QWidget *modal);
    // A file dialog's answer: picks path and accepts.
    static Answer chooseFile(const QString &path);

private:
    void poll();

    QTimer timer;
    QList<Answer> answers;
    QList<QPointer<QWidget>> handling;
    QStringList shown;
};

#endif
