#ifndef PROGRAMRUN_H
#define PROGRAMRUN_H

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// A program of ours (TarnApp, the simulator) run as a process of its own, as a
// user would run it, but with a configuration folder of its own and the
// offscreen platform. Its standard output and error are read as one stream of
// lines, or, for a long run, written to stdout.log and stderr.log in its
// folder. Every wait is bounded and runs the event loop. Main thread.
class ProgramRun
{
public:
    explicit ProgramRun(const QString &program, const QStringList &arguments = {});
    // Ends a process still running (SIGTERM) before its folder goes.
    ~ProgramRun();

    QString folder() const { return home.path(); }
    QString configFolder() const { return home.path() + "/TarnApp"; } // TarnApp's two files
    void setEnvironment(const QString &name, const QString &value);
    // Before start: the output goes to files in the folder instead.
    void logToFiles();
    std::string logPath(const char *name) const { return (folder() + '/' + name).toStdString(); }
    bool start();
    void writeLine(const QString &line) { process.write((line + '\n').toUtf8()); }

    // The lines so far, or those that start with prefix.
    QStringList lines(const QString &prefix = {});
    bool waitForLine(const QString &line, int timeoutMs = 10000);

    // SIGTERM, then the exit code; -1 when it did not end normally in time.
    int terminate();
    // The exit code once it has ended by itself; -1 when it did not in time.
    int finish(int timeoutMs = 10000);
    // From /proc, so without the event loop: a zombie has ended.
    bool alive() const;
    qint64 pid() const { return process.processId(); }

private:
    QByteArray status(const char *field) const;

    QTemporaryDir home;
    QProcess process;
    bool toFiles = false;
    QByteArray pending;
    QStringList complete;
};

#endif
