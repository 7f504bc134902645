#ifndef WATCHEDPROCESS_H
#define WATCHEDPROCESS_H

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

// A program run as a child process and watched from outside: what it writes
// on its standard output and error, line by line, its end and exit code.
// Every wait is bounded. Made and used on the test's GUI thread; output is
// collected while Qt events are processed (TestWait, QTest::qWait).
class WatchedProcess
{
public:
    WatchedProcess(const QString &program, const QStringList &arguments = {});
    // Ends a child still running: SIGTERM, then SIGKILL if it lingers.
    virtual ~WatchedProcess();
    WatchedProcess(const WatchedProcess &) = delete;
    WatchedProcess &operator=(const WatchedProcess &) = delete;

    // Changes to the environment the child starts with (the test's own,
    // JACK_DEFAULT_SERVER and the offscreen platform included).
    void setEnvironment(const QString &name, const QString &value);

    bool start(int timeoutMs = 5000);
    bool isRunning() const;
    qint64 pid() const;
    // Waits until the child has a handler for signalNumber (SigCgt in
    // /proc), i.e. until a signal is no longer fatal to it.
    bool waitUntilCatching(int signalNumber, int timeoutMs = 5000);
    // Writes a line on the child's standard input.
    void writeLine(const QString &line);

    // The complete lines written so far.
    QStringList outputLines();
    QStringList errorLines();
    // The complete lines so far that start with one of the prefixes, in order.
    QStringList errorLinesStartingWith(const QStringList &prefixes);
    // Wait until a complete line equal to line has been written.
    bool waitForOutputLine(const QString &line, int timeoutMs = 5000);
    bool waitForErrorLine(const QString &line, int timeoutMs = 5000);

    // Sends SIGTERM and waits for the end; false when the child does not end
    // within the time (it is killed then).
    bool terminate(int timeoutMs = 10000);
    bool waitForFinished(int timeoutMs);
    int exitCode() const { return m_process.exitCode(); }
    QProcess::ExitStatus exitStatus() const { return m_process.exitStatus(); }

protected:
    // What the destructor does; for derived classes whose members the child
    // still uses.
    void stop();

private:
    void collect();
    // Writes the stacks of the child's threads (with gdb, if installed) to
    // the test log.
    void printStacks();
    static void appendLines(QByteArray &pending, QStringList &lines, const QByteArray &data);

    QProcess m_process;
    QProcessEnvironment m_environment;
    QByteArray m_pendingOutput;
    QByteArray m_pendingError;
    QStringList m_outputLines;
    QStringList m_errorLines;
};

#endif
