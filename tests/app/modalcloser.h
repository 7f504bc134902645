#ifndef MODALCLOSER_H
#define MODALCLOSER_H

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

class QWidget;

// Closes every modal window that opens while it exists, so that no test ever
// waits on a human. It looks every few milliseconds, from inside whatever
// nested event loop runs, hands each modal window to an optional inspector
// first, and keeps the window titles. GUI thread.
class ModalCloser : public QObject
{
    Q_OBJECT
public:
    explicit ModalCloser(std::function<void(QWidget *)> inspector = {});

    QStringList closedTitles() const { return m_titles; }

private:
    void closeModal();

    std::function<void(QWidget *)> m_inspector;
    QTimer m_timer;
    QStringList m_titles;
};

#endif
