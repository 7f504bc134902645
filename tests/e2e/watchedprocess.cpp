#include "watchedprocess.h"

#include "testwait.h"

#include <QFile>
#include <QStandardPaths>

WatchedProcess::WatchedProcess(const QString &program, const QStringList &arguments)
    : m_environment(QProcessEnvironment::systemEnvironment())
{
    m_process.setProgram(program);
    m_process.setArguments(arguments);
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
}

WatchedProcess::~WatchedProcess()
{
    stop();
}

void WatchedProcess::stop()
{
    if (isRunning() && !terminate(5000))
        qWarning("WatchedProcess: %s ignored SIGTERM and was killed",
                 qPrintable(m_process.program()));
}

void WatchedProcess::setEnvironment(const QString &name, const QString &value)
{
    m_environment.insert(name, value);
}

bool WatchedProcess::start(int timeoutMs)
{
    m_process.setProcessEnvironment(m_environment);
    m_process.start(QIODevice::ReadWrite);
    return m_process.waitForStarted(timeoutMs);
}

bool WatchedProcess::isRunning() const
{
    return m_process.state() != QProcess::NotRunning;
}

qint64 WatchedProcess::pid() const
{
    return m_process.processId();
}

bool WatchedProcess::waitUntilCatching(int signalNumber, int timeoutMs)
{
    const quint64 bit = quint64(1) << (signalNumber - 1);
    return TestWait::until(
        [&] {
            QFile status(QStringLiteral("/proc/%1/status").arg(pid()));
            if (!isRunning() || !status.open(QIODevice::ReadOnly))
                return false;
            for (const QByteArray &line : status.readAll().split('\n')) {
                if (line.startsWith("SigCgt:"))
                    return (line.mid(7).trimmed().toULongLong(nullptr, 16) & bit) != 0;
            }
            return false;
        },
        timeoutMs);
}

void WatchedProcess::writeLine(const QString &line)
{
    m_process.write((line + '\n').toUtf8());
    m_process.waitForBytesWritten(1000);
}

void WatchedProcess::appendLines(QByteArray &pending, QStringList &lines, const QByteArray &data)
{
    pending += data;
    int end;
    while ((end = pending.indexOf('\n')) >= 0) {
        lines << QString::fromUtf8(pending.left(end));
        pending.remove(0, end + 1);
    }
}

void WatchedProcess::collect()
{
    appendLines(m_pendingOutput, m_outputLines, m_process.readAllStandardOutput());
    appendLines(m_pendingError, m_errorLines, m_process.readAllStandardError());
}

QStringList WatchedProcess::outputLines()
{
    collect();
    return m_outputLines;
}

QStringList WatchedProcess::errorLines()
{
    collect();
    return m_errorLines;
}

QStringList WatchedProcess::errorLinesStartingWith(const QStringList &prefixes)
{
    QStringList found;
    for (const QString &line : errorLines()) {
        for (const QString &prefix : prefixes) {
            if (line.startsWith(prefix)) {
                found << line;
                break;
            }
        }
    }
    return found;
}

bool WatchedProcess::waitForOutputLine(const QString &line, int timeoutMs)
{
    return TestWait::until([&] { return outputLines().contains(line); }, timeoutMs);
}

bool WatchedProcess::waitForErrorLine(const QString &line, int timeoutMs)
{
    return TestWait::until([&] { return errorLines().contains(line); }, timeoutMs);
}

bool WatchedProcess::waitForFinished(int timeoutMs)
{
    // Keeps processing events meanwhile, so the output is read to its end.
    const bool finished = TestWait::until([&] { return !isRunning(); }, timeoutMs);
    collect();
    return finished;
}

void WatchedProcess::printStacks()
{
    // Where a child hangs is worth more than the fact that it does.
    const QString gdb = QStandardPaths::findExecutable("gdb");
    if (gdb.isEmpty())
        return;
    QProcess debugger;
    debugger.setProcessChannelMode(QProcess::MergedChannels);
    debugger.start(gdb, {"-p", QString::number(pid()), "-batch", "-ex", "thread apply all bt"});
    if (!debugger.waitForFinished(30000))
        debugger.kill();
    qWarning("WatchedProcess: %s (pid %lld) does not end; its threads:\n%s",
             qPrintable(m_process.program()), pid(), debugger.readAll().constData());
}

bool WatchedProcess::terminate(int timeoutMs)
{
    if (!isRunning())
        return true;
    m_process.terminate();
    if (waitForFinished(timeoutMs))
        return true;
    printStacks();
    m_process.kill();
    m_process.waitForFinished(2000);
    collect();
    return false;
}
