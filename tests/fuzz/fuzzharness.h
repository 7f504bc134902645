#ifndef FUZZHARNESS_H
#define FUZZHARNESS_H

#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class QApplication;
class TarnAppMainWindow;
class MessageQueue;
class MidiPortPair;

// A property that must hold for every input; a failure ends the run as a
// crash, so that the fuzzer keeps the input that broke it.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition))                                                                          \
            FuzzHarness::fail(__FILE__, __LINE__, #condition);                                     \
    } while (false)

// What the fuzz targets share: the Qt process with a configuration folder of
// its own, input files that Qt reads afresh, the main window as the program
// runs it (its ports open to a sink on the JACK server that
// JACK_DEFAULT_SERVER names, when one answers) and cutting inputs into
// messages. Made once per run and never destroyed (libFuzzer ends the
// process with exit()); the fuzzer's only thread.
class FuzzHarness
{
public:
    using Bytes = std::vector<unsigned char>;

    explicit FuzzHarness(const char *programName, bool withWindow);

    QString folder() const { return config.path(); }
    TarnAppMainWindow &window() { return *mainWindow; }
    // Writes an input to a file with a time of its own, so Qt reads it afresh.
    void writeFile(const QString &path, const uint8_t *data, size_t size);
    // Runs what the input left posted, deferred deletions included, and drops
    // what the sink received.
    void settle();

    // Each message starts at a status byte; leading data bytes form one too.
    static std::vector<Bytes> splitAtStatusBytes(const uint8_t *data, size_t size);
    [[noreturn]] static void fail(const char *file, int line, const char *condition);

private:
    QTemporaryDir config;
    QByteArray name;
    int argc = 1;
    char *argv[2] = {nullptr, nullptr};
    qint64 filesWritten = 0;
    std::unique_ptr<QApplication> application;
    std::unique_ptr<MessageQueue> sinkQueue;
    std::unique_ptr<MidiPortPair> sink;
    std::unique_ptr<TarnAppMainWindow> mainWindow;
};

#endif
