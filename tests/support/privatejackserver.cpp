#include "privatejackserver.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <csignal>

namespace {

// A zombie has ended; it only waits to be reaped by whoever adopted it.
bool alive(qint64 pid)
{
    QFile status(QString("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("State:"))
            return !line.contains("Z");
    }
    return true;
}

} // namespace

PrivateJackServer::PrivateJackServer(const QString &name, const QString &pidFile, int portMax)
    : m_name(name), m_pidFile(pidFile), m_portMax(portMax)
{
}

QStringList PrivateJackServer::arguments() const
{
    QStringList arguments{"--no-realtime"};
    if (m_portMax > 0)
        arguments << "-p" << QString::number(m_portMax);
    return arguments + QStringList{"-n", m_name, "-d", "dummy", "-r", "48000", "-p", "1024"};
}

PrivateJackServer::~PrivateJackServer()
{
    if (m_pid)
        stop();
}

void PrivateJackServer::makeDefault() const
{
    qputenv("JACK_DEFAULT_SERVER", m_name.toUtf8());
    qputenv("JACK_NO_START_SERVER", "1");
}

bool PrivateJackServer::answers() const
{
    // Asked from another process: a client opened here while clients of a
    // stopped server are still open would share their stale state.
    QProcess check;
    check.start("jack_wait", {"-s", m_name, "-c"});
    if (!check.waitForFinished(5000)) {
        check.kill();
        check.waitForFinished();
        return false;
    }
    return check.readAllStandardOutput().trimmed() == "running";
}

bool PrivateJackServer::isOurServer(qint64 pid) const
{
    QFile cmdline(QString("/proc/%1/cmdline").arg(pid));
    if (!alive(pid) || !cmdline.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> words = cmdline.readAll().split('\0');
    // "jackd" as started here, or a path to it.
    const QStringList expected = arguments();
    if (words.size() <= expected.size() || !(words[0] == "jackd" || words[0].endsWith("/jackd")))
        return false;
    for (int i = 0; i < expected.size(); ++i) {
        if (QString::fromUtf8(words[i + 1]) != expected[i])
            return false;
    }
    return true;
}

bool PrivateJackServer::stopPid(qint64 pid, int timeoutMs)
{
    ::kill(pid_t(pid), SIGTERM);
    QElapsedTimer timer;
    timer.start();
    while (alive(pid)) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QThread::msleep(20);
    }
    return true;
}

bool PrivateJackServer::start(int timeoutMs)
{
    QFile pidFile(m_pidFile);
    if (!m_pid && pidFile.open(QIODevice::ReadOnly)) {
        const qint64 left = pidFile.readAll().trimmed().toLongLong();
        pidFile.close();
        if (left > 0 && isOurServer(left))
            stopPid(left, timeoutMs);
    }
    if (m_pid || answers())
        return false; // ours already runs, or one of that name that is not ours

    // Through the shell, so that the command line reads "jackd ..." as the
    // suite's server script expects when it stops what a crashed test left.
    QProcess process;
    process.setProgram("sh");
    process.setArguments(QStringList{"-c", "exec jackd \"$@\"", "jackd"} + arguments());
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(m_pidFile + ".out");
    process.setStandardErrorFile(m_pidFile + ".err");
    if (!process.startDetached(&m_pid))
        return false;
    if (pidFile.open(QIODevice::WriteOnly | QIODevice::Truncate))
        pidFile.write(QByteArray::number(m_pid) + '\n');
    pidFile.close();

    QElapsedTimer timer;
    timer.start();
    while (!answers()) {
        if (!alive(m_pid) || timer.elapsed() > timeoutMs) {
            stop();
            return false;
        }
        QThread::msleep(20);
    }
    return true;
}

QString PrivateJackServer::failure() const
{
    QFile log(m_pidFile + ".err");
    if (!log.open(QIODevice::ReadOnly))
        return QString("no server log");
    return QString("JACK server %1 did not start: %2")
        .arg(m_name, QString::fromLocal8Bit(log.readAll()).simplified());
}

bool PrivateJackServer::stop(int timeoutMs)
{
    if (!m_pid)
        return true;
    const bool stopped = stopPid(m_pid, timeoutMs);
    if (stopped) {
        m_pid = 0;
        QFile::remove(m_pidFile);
    }
    return stopped;
}
