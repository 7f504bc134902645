#ifndef PRIVATEJACKSERVER_H
#define PRIVATEJACKSERVER_H

#include <QProcess>
#include <QString>

// A JACK server of one test's own, for cases that would disturb the shared
// one (a full port table). Started by the constructor with a small port
// table, ended with SIGTERM by the destructor, so its slot in JACK's registry
// is freed. It runs in a session of its own, so a test killed for taking too
// long leaves it running rather than killed uncleanly; a server of the same
// name and command left so is ended first by the next run. A process can be a
// client of one JACK server only: use it where no other server is reached.
// GUI thread.
class PrivateJackServer
{
public:
    PrivateJackServer(const QString &name, int portMax);
    ~PrivateJackServer();
    PrivateJackServer(const PrivateJackServer &) = delete;
    PrivateJackServer &operator=(const PrivateJackServer &) = delete;

    bool isRunning() const { return m_running; }
    QString name() const { return m_name; }
    // Why it is not running, with the server's own output.
    QString failure() const { return m_failure; }

private:
    QStringList arguments() const;
    bool answers() const;
    void endLeftover();

    QString m_name;
    int m_portMax;
    QProcess m_process;
    bool m_running = false;
    QString m_failure;
};

#endif
