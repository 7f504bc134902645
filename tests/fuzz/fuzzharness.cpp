#include "fuzzharness.h"

#include <QDateTime>
#include <QDir>

#include <cstdio>
#include <cstdlib>

FuzzHarness::FuzzHarness(char **argv, bool withWindow)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit()); // never the user's files
    application = std::make_unique<QApplication>(argc, argv);
    QDir().mkpath(QFileInfo(AppSetting::settingFilePath()).path());
    if (!withWindow)
        return;
    // The window's ports lead to a sink, so the link goes through its states;
    // with no server it runs with its ports closed.
    try {
        sink = std::make_unique<MidiPortPair>(
            RtMidi::UNIX_JACK, MidiPortPair::Names{"fuzz", "sink In", "sink Out", "in", "out"},
            true, sinkQueue, 0);
        const QString in = QString::fromStdString(sink->inName());
        const QString out = QString::fromStdString(sink->outName());
        AppSetting ports;
        ports.setHardwareMidiInPort(out);
        ports.setHardwareMidiOutPort(in);
        ports.setRemoteMidiInPort(out);
        ports.setRemoteMidiOutPort(in);
        ports.saveSettingFile(AppSetting::settingFilePath());
    } catch (const RtMidiError &) {
    }
    mainWindow = std::make_unique<TarnAppMainWindow>();
    mainWindow->initialize();
}

void FuzzHarness::writeFile(const QString &path, const uint8_t *data, size_t size)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size) &&
               file.flush());
    const QDateTime time = QDateTime::fromSecsSinceEpoch(1000000000 + ++filesWritten);
    FUZZ_CHECK(file.setFileTime(time, QFileDevice::FileModificationTime));
}

void FuzzHarness::settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    sinkQueue.takeAll();
}

void FuzzHarness::fail(const char *file, int line, const char *condition)
{
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    std::abort();
}
