#include "programrun.h"

#include "testwait.h"

#include <QFile>

#include <signal.h>

ProgramRun::ProgramRun(const QString &program, const QStringList &arguments)
{
    process.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    setEnvironment("XDG_CONFIG_HOME", home.path());
    setEnvironment("QT_QPA_PLATFORM", "offscreen");
    process.setProgram(program);
    process.setArguments(arguments);
    process.setProcessChannelMode(QProcess::MergedChannels);
}

ProgramRun::~ProgramRun()
{
    if (process.state() != QProcess::NotRunning && terminate() == -1)
        process.kill();
    process.waitForFinished(5000);
}

void ProgramRun::setEnvironment(const QString &name, const QString &value)
{
    QProcessEnvironment environment = process.processEnvironment();
    environment.insert(name, value);
    process.setProcessEnvironment(environment);
}

void ProgramRun::logToFiles()
{
    toFiles = true;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardOutputFile(folder() + "/stdout.log", QIODevice::Truncate);
    process.setStandardErrorFile(folder() + "/stderr.log", QIODevice::Truncate);
}

bool ProgramRun::start()
{
    process.start();
    return process.waitForStarted(5000);
}

QStringList ProgramRun::lines(const QString &prefix)
{
    if (!toFiles)
        pending += process.readAll();
    for (int end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1))
        complete << QString::fromUtf8(pending.left(end));
    QStringList found;
    for (const QString &line : complete)
        if (line.startsWith(prefix))
            found << line;
    return found;
}

bool ProgramRun::waitForLine(const QString &line, int timeoutMs)
{
    return TestWait::until([&] { return lines().contains(line); }, timeoutMs);
}

QByteArray ProgramRun::status(const char *field) const
{
    QFile file(QString("/proc/%1/status").arg(process.processId()));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray text = file.readAll();
    const int at = text.indexOf(field);
    return at < 0 ? QByteArray() : text.mid(at + int(qstrlen(field)), 18).trimmed();
}

int ProgramRun::terminate()
{
    // Not before the program handles the signal (SigCgt), or blocks it to wait
    // for it (SigBlk): until then it would just die.
    const auto takes = [&](const char *field) {
        return (status(field).toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
    };
    TestWait::until([&] { return !alive() || takes("SigCgt:") || takes("SigBlk:"); });
    if (process.state() == QProcess::Running)
        ::kill(pid_t(process.processId()), SIGTERM);
    return finish();
}

int ProgramRun::finish(int timeoutMs)
{
    const bool ended =
        TestWait::until([&] { return process.state() == QProcess::NotRunning; }, timeoutMs);
    lines();
    return ended && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

bool ProgramRun::alive() const
{
    const QByteArray state = status("State:");
    return !state.isEmpty() && !state.startsWith('Z');
}
