#include "privatejackserver.h"

#include "testwait.h"

#include <QDir>
#include <QFile>
#include <jack/jack.h>

#include <csignal>

PrivateJackServer::PrivateJackServer(const QString &name, int portMax)
    : m_name(name), m_portMax(portMax)
{
    endLeftover();
    if (answers()) {
        m_failure = "a JACK server named " + name + " runs already and is not ours";
        return;
    }
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    // A session of its own: a test killed for taking too long must not take
    // the server down uncleanly, which would keep its registry slot.
    m_process.start("setsid", QStringList{"jackd"} + arguments());
    m_running =
        m_process.waitForStarted(5000) &&
        TestWait::until([this] { return answers() || m_process.state() != QProcess::Running; },
                        10000) &&
        answers();
    if (!m_running)
        m_failure = "jackd did not start: " + QString::fromLocal8Bit(m_process.readAll());
}

PrivateJackServer::~PrivateJackServer()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(10000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QStringList PrivateJackServer::arguments() const
{
    return {"--no-realtime",
            "-p",
            QString::number(m_portMax),
            "-n",
            m_name,
            "-d",
            "dummy",
            "-r",
            "48000",
            "-p",
            "1024"};
}

bool PrivateJackServer::answers() const
{
    jack_status_t status;
    jack_client_t *probe =
        jack_client_open("probe", JackOptions(JackNoStartServer | JackServerName), &status,
                         m_name.toUtf8().constData());
    if (!probe)
        return false;
    jack_client_close(probe);
    return true;
}

void PrivateJackServer::endLeftover()
{
    // Only a jackd with exactly our command line, which nobody but this
    // class starts, is ended.
    QByteArray ours = "jackd";
    for (const QString &argument : arguments())
        ours += '\0' + argument.toLocal8Bit();
    ours += '\0';
    const QStringList entries = QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        QFile cmdline("/proc/" + entry + "/cmdline");
        if (!isPid || !cmdline.open(QIODevice::ReadOnly) || cmdline.readAll() != ours)
            continue;
        ::kill(pid_t(pid), SIGTERM);
        TestWait::until([&] { return !QFile::exists("/proc/" + entry + "/cmdline"); }, 10000);
    }
}
