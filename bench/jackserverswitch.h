#ifndef JACKSERVERSWITCH_H
#define JACKSERVERSWITCH_H

#include <QString>

// Stops and starts again the private JACK server that bench/run.sh started,
// through the same fixture script, server name and pid file (it passes them
// as TARN_SOAK_FIXTURE, TARN_SOAK_SERVER and TARN_SOAK_PIDFILE). Benchmark
// main thread.
class JackServerSwitch
{
public:
    JackServerSwitch();

    // False when the soak was not given the server to switch.
    bool available() const { return !m_fixture.isEmpty(); }
    // Each waits until the server has gone or answers.
    bool stop() const { return run("stop"); }
    bool start() const;

private:
    bool run(const QString &action) const;

    QString m_fixture, m_server, m_pidFile;
};

#endif
