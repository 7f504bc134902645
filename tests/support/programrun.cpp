#include "programrun.h"

#include "testwait.h"

#include <QFile>

#include <signal.h>

ProgramRun::ProgramRun(const QString &program, const QStringList &arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", home.path());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
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

QString ProgramRun::configFolder() const
{
    return home.path() + "/TarnApp";
}

void ProgramRun::setEnvironment(const QString &name, const QString &value)
{
    QProcessEnvironment environment = process.processEnvironment();
    environment.insert(name, value);
    process.setProcessEnvironment(environment);
}

void ProgramRun::start()
{
    process.start();
    process.waitForStarted(5000);
}

void ProgramRun::writeLine(const QString &line)
{
    process.write((line + '\n').toUtf8());
}

QStringList ProgramRun::lines()
{
    pending += process.readAll();
    int end;
    while ((end = pending.indexOf('\n')) >= 0) {
        complete << QString::fromUtf8(pending.left(end));
        pending.remove(0, end + 1);
    }
    return complete;
}

QStringList ProgramRun::lines(const QString &prefix)
{
    QStringList found;
    for (const QString &line : lines())
        if (line.startsWith(prefix))
            found << line;
    return found;
}

bool ProgramRun::waitForLine(const QString &line, int timeoutMs)
{
    return TestWait::until([&] { return lines().contains(line); }, timeoutMs);
}

int ProgramRun::terminate()
{
    // Not before the program handles the signal: until then it would just die.
    const QString status = QString("/proc/%1/status").arg(process.processId());
    TestWait::until([&] {
        QFile file(status);
        if (!file.open(QIODevice::ReadOnly))
            return true;
        const QByteArray text = file.readAll();
        const int at = text.indexOf("SigCgt:");
        return at >= 0 &&
               (text.mid(at + 7, 18).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
    });
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
