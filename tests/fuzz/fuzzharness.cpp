#include "fuzzharness.h"

#include "appsetting.h"
#include "messagequeue.h"
#include "midiportpair.h"
#include "tarnappmainwindow.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>

FuzzHarness::FuzzHarness(const char *programName, bool withWindow) : name(programName)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // A fuzz run must never touch the user's files.
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    argv[0] = name.data();
    application = std::make_unique<QApplication>(argc, argv);
    QDir().mkpath(QFileInfo(TarnAppMainWindow::settingFilePath()).path());
    if (!withWindow)
        return;
    // The window's ports lead to a sink, so the link goes through its states.
    try {
        sinkQueue = std::make_unique<MessageQueue>();
        sink = std::make_unique<MidiPortPair>(
            RtMidi::UNIX_JACK, MidiPortPair::Names{"fuzz", "sink In", "sink Out", "in", "out"},
            true, *sinkQueue, 0);
        const QString in = QString::fromStdString(sink->inName());
        const QString out = QString::fromStdString(sink->outName());
        AppSetting ports;
        ports.setHardwareMidiInPort(out);
        ports.setHardwareMidiOutPort(in);
        ports.setRemoteMidiInPort(out);
        ports.setRemoteMidiOutPort(in);
        ports.saveSettingFile(TarnAppMainWindow::settingFilePath());
    } catch (const RtMidiError &) {
        sink.reset(); // no server: the window runs with its ports closed
    }
    mainWindow = std::make_unique<TarnAppMainWindow>();
    mainWindow->initialize();
}

void FuzzHarness::writeFile(const QString &path, const uint8_t *data, size_t size)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
    FUZZ_CHECK(file.flush());
    // Qt reads an INI file again only when its size or time changed. (A new
    // name for every input would grow Qt's cache, which looks like a leak.)
    const QDateTime time = QDateTime::fromSecsSinceEpoch(1000000000 + ++filesWritten);
    FUZZ_CHECK(file.setFileTime(time, QFileDevice::FileModificationTime));
}

void FuzzHarness::settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (sinkQueue)
        sinkQueue->takeAll();
}

std::vector<FuzzHarness::Bytes> FuzzHarness::splitAtStatusBytes(const uint8_t *data, size_t size)
{
    std::vector<Bytes> messages;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] >= 0x80 || messages.empty())
            messages.emplace_back();
        messages.back().push_back(data[i]);
    }
    return messages;
}

void FuzzHarness::fail(const char *file, int line, const char *condition)
{
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    std::abort();
}
