#ifndef WINDOWBENCH_H
#define WINDOWBENCH_H

#include "debugcapture.h"
#include "tarnappmainwindow.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QVariantMap>

#include <memory>

class Peer;

// One test case's program, built in the test's process: a configuration
// folder of its own (XDG_CONFIG_HOME points at it while the bench exists), a
// setting file written from the given keys, the debug lines captured, and the
// main window built, initialised and shown as the program starts it. GUI
// thread of the test.
class WindowBench
{
public:
    // hardPorts: the window's unit pair instead of MIDI ports (the window takes it).
    explicit WindowBench(const QVariantMap &setting = {}, bool startNow = true,
                         PortPair *hardPorts = nullptr);
    ~WindowBench();

    // The four port keys naming these devices' ports (null: left out).
    static QVariantMap ports(const Peer *unit, const Peer *pads);

    void start();
    // Ends the window as the program ends it (it writes its state); the
    // folder stays for the test to read.
    void finish();
    TarnAppMainWindow &window() { return *program; }
    DebugCapture &log() { return debug; }
    // The "Send   : " and "Rcv    : " lines so far.
    QStringList traffic() const;

    // The program's files: the setting file and the window-state file.
    static QVariantMap read(const QString &path);
    static void write(const QString &path, const QVariantMap &values);

    QPushButton *presetButton(int index) const
    {
        return widget<QPushButton>(QString("pushPreset%1").arg(index + 1));
    }
    // A widget of the window or its settings dialog, by object name.
    template <class Widget> Widget *widget(const QString &name) const
    {
        return program->findChild<Widget *>(name);
    }

private:
    QByteArray previousHome;
    QTemporaryDir home;
    QVariantMap setting;
    DebugCapture debug;
    PortPair *hardPorts;
    std::unique_ptr<TarnAppMainWindow> program;
};

#endif
