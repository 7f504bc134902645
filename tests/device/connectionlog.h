#ifndef CONNECTIONLOG_H
#define CONNECTIONLOG_H

#include <QStringList>

#include <mutex>

typedef struct _jack_client jack_client_t;

// Records every JACK connection made to or broken from a few watched ports,
// as "+port" or "-port", so that a test can tell a port that the program
// closed and reopened from one it left alone. JACK's notification thread
// appends; the test's GUI thread reads.
class ConnectionLog
{
public:
    // Throws RtMidiError when no JACK server answers.
    explicit ConnectionLog(const QStringList &watchedPorts);
    ~ConnectionLog();
    ConnectionLog(const ConnectionLog &) = delete;
    ConnectionLog &operator=(const ConnectionLog &) = delete;

    QStringList events() const;
    void clear();
    // Waits (processing Qt events) until at least count events were seen.
    bool waitForEvents(int count, int timeoutMs = 3000);

private:
    static void onConnect(unsigned int portA, unsigned int portB, int connect, void *arg);

    QStringList m_watched;
    jack_client_t *m_client = nullptr;
    mutable std::mutex m_mutex;
    QStringList m_events;
};

#endif
