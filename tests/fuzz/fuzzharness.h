#ifndef FUZZHARNESS_H
#define FUZZHARNESS_H

#include "messagequeue.h"
#include "midiportpair.h"
#include "tarnappmainwindow.h"

#include <QApplication>
#include <QTemporaryDir>

#include <memory>

// A property that must hold for every input; a failure ends the run as a
// crash, so that the fuzzer keeps the input that broke it.
#define FUZZ_CHECK(condition)                                                                      \
    ((condition) ? void() : FuzzHarness::fail(__FILE__, __LINE__, #condition))

// What the fuzz targets share: the Qt process with a configuration folder of
// its own, input files that Qt reads afresh, and the main window as the
// program runs it (its ports open to a sink on the JACK server that
// JACK_DEFAULT_SERVER names, when one answers). Made once per run and never
// destroyed (libFuzzer ends the process with exit()); the fuzzer's only thread.
class FuzzHarness
{
public:
    FuzzHarness(char **argv, bool withWindow);

    QString folder() const { return config.path(); }
    TarnAppMainWindow &window() { return *mainWindow; }
    // Writes an input to a file with a time of its own, so Qt reads it afresh.
    // (A new name for every input would grow Qt's cache, which looks like a leak.)
    void writeFile(const QString &path, const uint8_t *data, size_t size);
    // Runs what the input left posted, deferred deletions included, and drops
    // what the sink received.
    void settle();
    [[noreturn]] static void fail(const char *file, int line, const char *condition);

private:
    QTemporaryDir config;
    int argc = 1;
    qint64 filesWritten = 0;
    std::unique_ptr<QApplication> application;
    MessageQueue sinkQueue;
    std::unique_ptr<MidiPortPair> sink;
    std::unique_ptr<TarnAppMainWindow> mainWindow;
};

#endif
