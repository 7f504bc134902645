#ifndef PROGRAMRUN_H
#define PROGRAMRUN_H

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// A program of ours (TarnApp, the simulator) run as a process of its own, as a
// user would run it, but with a configuration folder of its own and the
// offscreen platform. Its standard output and error are read as one stream of
// lines. Every wait is bounded. GUI thread of the test.
class ProgramRun
{
public:
    explicit ProgramRun(const QString &program, const QStringList &arguments = {});
    // Ends a process still running (SIGTERM) before its folder goes.
    ~ProgramRun();

    QString configFolder() const { return home.path() + "/TarnApp"; } // TarnApp's two files
    void setEnvironment(const QString &name, const QString &value);
    void start() { process.start(), process.waitForStarted(5000); }
    void writeLine(const QString &line) { process.write((line + '\n').toUtf8()); }

    // The lines so far, or those that start with prefix.
    QStringList lines(const QString &prefix = {});
    bool waitForLine(const QString &line, int timeoutMs = 10000);

    // SIGTERM, then the exit code; -1 when it did not end normally in time.
    int terminate();
    // The exit code once it has ended by itself; -1 when it did not in time.
    int finish(int timeoutMs = 10000);

private:
    QTemporaryDir home;
    QProcess process;
    QByteArray pending;
    QStringList complete;
};

#endif
