#ifndef PRIVATEJACKSERVER_H
#define PRIVATEJACKSERVER_H

#include <QString>

// A JACK server of one test's own, for tests that stop and restart the MIDI
// service under the program, or fill its port table (portMax ports), while
// other tests use the shared one. A process can be a client of one JACK
// server only: makeDefault before its first JACK client. Started
// detached, so that no process object ever ends it with SIGKILL (a server
// killed so keeps its slot in JACK's small registry); its pid is kept in a
// file, so a run stops what an aborted earlier run left. Stopped with
// SIGTERM. Used on the test's GUI thread.
class PrivateJackServer
{
public:
    PrivateJackServer(const QString &name, const QString &pidFile, int portMax = 0);
    ~PrivateJackServer();
    PrivateJackServer(const PrivateJackServer &) = delete;
    PrivateJackServer &operator=(const PrivateJackServer &) = delete;

    QString name() const { return m_name; }
    // Makes every JACK client of this process made from now on use this server.
    void makeDefault() const;
    // Starts the server and waits until it answers; false on failure or time-out.
    bool start(int timeoutMs = 10000);
    // SIGTERM, then waits until the process has gone.
    bool stop(int timeoutMs = 10000);
    bool answers() const;
    // Why the last start failed, from the server's error output.
    QString failure() const;

private:
    QStringList arguments() const;
    bool isOurServer(qint64 pid) const;
    bool stopPid(qint64 pid, int timeoutMs);

    QString m_name;
    QString m_pidFile;
    int m_portMax;
    qint64 m_pid = 0;
};

#endif
