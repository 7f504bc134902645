#include "jackserverswitch.h"

#include <QProcess>

#include <cstdio>
#include <thread>

JackServerSwitch::JackServerSwitch()
    : m_fixture(qEnvironmentVariable("TARN_SOAK_FIXTURE")),
      m_server(qEnvironmentVariable("TARN_SOAK_SERVER")),
      m_pidFile(qEnvironmentVariable("TARN_SOAK_PIDFILE"))
{
    if (m_server.isEmpty() || m_pidFile.isEmpty())
        m_fixture.clear();
}

bool JackServerSwitch::run(const QString &action) const
{
    QProcess fixture;
    // Its complaints go to our stderr; its news would break the table.
    fixture.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    fixture.start(m_fixture, {action, m_server, m_pidFile});
    if (!fixture.waitForFinished(60000) || fixture.exitStatus() != QProcess::NormalExit ||
        fixture.exitCode() != 0) {
        std::fprintf(stderr, "soak: %s of the JACK server failed (%s)\n", qPrintable(action),
                     qPrintable(m_server));
        return false;
    }
    return true;
}

bool JackServerSwitch::start() const
{
    // The old server's pid stays in JACK's registry until its zombie is
    // reaped, and until then a new server of its name refuses to start.
    for (int attempt = 1; attempt < 20; ++attempt) {
        if (run("start"))
            return true;
        std::fprintf(stderr, "soak: trying again in 1 s\n");
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    return run("start");
}
