#ifndef FUZZENVIRONMENT_H
#define FUZZENVIRONMENT_H

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <memory>

class QApplication;

// The process around a fuzz target that needs Qt: the offscreen platform, a
// configuration folder of its own (under TMPDIR, which tools/fuzz.sh clears),
// the application object, and the writing of inputs to the files that the
// program reads. Made once and kept for the whole run, on the fuzzer's only
// thread.
class FuzzEnvironment
{
public:
    explicit FuzzEnvironment(const char *programName);
    ~FuzzEnvironment();
    FuzzEnvironment(const FuzzEnvironment &) = delete;
    FuzzEnvironment &operator=(const FuzzEnvironment &) = delete;

    // Where the program's configuration folder lives (XDG_CONFIG_HOME).
    QString configHome() const { return m_config.path(); }
    // Writes an input to a file for the program to read, so that Qt reads it
    // afresh; aborts when it cannot.
    void writeInputFile(const QString &path, const uint8_t *data, size_t size);
    // Runs what the input left posted, deferred deletions included, so that
    // nothing piles up from one input to the next.
    static void settle();

private:
    QTemporaryDir m_config;
    QByteArray m_programName;
    qint64 m_filesWritten = 0;
    int m_argc = 1;
    char *m_argv[2] = {nullptr, nullptr};
    std::unique_ptr<QApplication> m_application;
};

#endif
