// Start-up of the main window against a real MIDI service: what the setting
// file decides, which configured ports open (and that they are the very
// ports named), and the real program's first run and graceful end.
#include "configsandbox.h"
#include "debugcapture.h"
#include "hardmessages.h"
#include "hardsettingdialog.h"
#include "midipeer.h"
#include "modalanswerer.h"
#include "qmidiin.h"
#include "qmidiout.h"
#include "rawjackclient.h"
#include "tarnappmainwindow.h"
#include "testwait.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTest>
#include <RtMidi.h>

#include <csignal>
#include <memory>
#include <unistd.h>

namespace {

const QString sendPrefix = "Send   : ";
const QString noPortText = "Please set midi port to the setting.";

QStringList serialRequestLines()
{
    return {sendPrefix + toHexString(makeSerialRequest(), QLatin1Char(' '))};
}

// True once the process has a handler for SIGTERM: from then on the signal
// ends its event loop instead of killing it.
bool catchesSigterm(qint64 pid)
{
    QFile status(QString("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return line.mid(7).trimmed().toULongLong(nullptr, 16) & (1ULL << (SIGTERM - 1));
    }
    return false;
}

} // namespace

class TestMainWindowStartup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        try {
            unit.reset(new MidiPeer("shell-unit"));
            pad.reset(new MidiPeer("shell-pad"));
        } catch (const RtMidiError &error) {
            QFAIL(error.what());
        }
    }
    void init()
    {
        sandbox.reset(new ConfigSandbox);
        QVERIFY(sandbox->isValid());
        closer.reset(new ModalAnswerer);
        unit->clearReceived();
        pad->clearReceived();
    }
    void cleanup()
    {
        const QStringList boxes = closer->titles();
        closer.reset();
        sandbox.reset();
        QVERIFY2(boxes.isEmpty(), qPrintable("unexpected boxes: " + boxes.join(", ")));
    }
    void cleanupTestCase()
    {
        unit.reset();
        pad.reset();
    }

    void firstRunWithoutSettingFile()
    {
        DebugCapture capture;
        TarnAppMainWindow window;
        window.initialize();
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(window.presetButton(i)->text(), QString("PRESET%1\r\n#NAME").arg(i + 1));
            QVERIFY(!window.presetButton(i)->isEnabled());
        }
        QCOMPARE(window.settingButton()->text(), QString("SETTINGS\n"));
        QCOMPARE(window.messageLabel()->text(), noPortText);
        QCOMPARE(window.geometry(), QRect(200, 200, 1100, 400));
        QVERIFY(window.settingDialog());
        QVERIFY(!window.hardIn()->isPortOpen() && !window.hardOut()->isPortOpen());
        QVERIFY(!window.remoteIn()->isPortOpen() && !window.remoteOut()->isPortOpen());
        QCOMPARE(window.linkStatus(), int(TarnAppMainWindow::NoPort));
        QVERIFY(capture.lines(sendPrefix).isEmpty());
        // Start-up reads the setting file but never writes it.
        QVERIFY(!QFile::exists(TarnAppMainWindow::settingFilePath()));
    }

    // The setting file is read before the captions are set and the dialog is
    // built; the stored geometry is applied after the arrangement's own.
    void settingFileDecidesTheStart()
    {
        AppSetting file;
        file.setPresetName(1, "Clean");
        file.setFootSwitchIndex(3);
        file.setDispType(1);
        file.saveSettingFile(TarnAppMainWindow::settingFilePath());
        ConfigSandbox::writeIni(TarnAppMainWindow::windowStateFilePath(),
                                {{"X", 40}, {"Y", 50}, {"Width", 1000}, {"Height", 300}});
        TarnAppMainWindow window;
        window.initialize();
        QCOMPARE(window.presetButton(1)->text(), QString("PRESET2\r\nClean"));
        QVERIFY(qobject_cast<QHBoxLayout *>(window.centralWidget()->layout()));
        QCOMPARE(window.geometry(), QRect(40, 50, 1000, 300));
        QVERIFY(window.settingDialog());
        auto *horizontal = window.settingDialog()->findChild<QRadioButton *>("radioButtonH");
        auto *footSwitch = window.settingDialog()->findChild<QComboBox *>("comboFootSwitchPreset");
        QVERIFY(horizontal && footSwitch);
        QVERIFY(horizontal->isChecked());
        QCOMPARE(footSwitch->currentIndex(), 3);
    }

    // Names: "unit"/"pad" are the peers' ports, "missing" names no port,
    // "UNIT" differs from the unit's port in letter case only.
    void configuredPairsOpen_data()
    {
        QTest::addColumn<QString>("hard");
        QTest::addColumn<QString>("remote");
        QTest::addColumn<bool>("hardOpen");
        QTest::addColumn<bool>("remoteOpen");
        QTest::newRow("both found") << "unit unit"
                                    << "pad pad" << true << true;
        QTest::newRow("hard input empty") << "- unit"
                                          << "pad pad" << false << true;
        QTest::newRow("hard output empty") << "unit -"
                                           << "pad pad" << false << true;
        QTest::newRow("hard input missing") << "missing unit"
                                            << "pad pad" << false << true;
        QTest::newRow("hard output missing") << "unit missing"
                                             << "pad pad" << false << true;
        QTest::newRow("hard input case") << "UNIT unit"
                                         << "pad pad" << false << true;
        QTest::newRow("remote input missing") << "unit unit"
                                              << "missing pad" << true << false;
        QTest::newRow("remote output empty") << "unit unit"
                                             << "pad -" << true << false;
        QTest::newRow("none set") << "- -"
                                  << "- -" << false << false;
    }
    void configuredPairsOpen()
    {
        QFETCH(QString, hard);
        QFETCH(QString, remote);
        QFETCH(bool, hardOpen);
        QFETCH(bool, remoteOpen);
        const auto name = [this](const QString &pair, int side) {
            const QString which = pair.split(' ')[side];
            const MidiPeer *peer = which.toLower() == "pad" ? pad.get() : unit.get();
            const QString port = side == 0 ? peer->outputPortName() : peer->inputPortName();
            return which == "-"         ? QString()
                   : which == "missing" ? QString("shell-nobody:port")
                   : which == "UNIT"    ? port.toUpper()
                                        : port;
        };
        ConfigSandbox::writePorts(name(hard, 0), name(hard, 1), name(remote, 0), name(remote, 1));

        DebugCapture capture;
        TarnAppMainWindow window;
        window.initialize();
        QCOMPARE(window.hardIn()->isPortOpen(), hardOpen);
        QCOMPARE(window.hardOut()->isPortOpen(), hardOpen);
        QCOMPARE(window.remoteIn()->isPortOpen(), remoteOpen);
        QCOMPARE(window.remoteOut()->isPortOpen(), remoteOpen);
        QCOMPARE(capture.lines(sendPrefix), hardOpen ? serialRequestLines() : QStringList());
        QCOMPARE(window.linkStatus(),
                 int(hardOpen ? TarnAppMainWindow::WaitSerial : TarnAppMainWindow::NoPort));
        QCOMPARE(window.messageLabel()->text() == noPortText, !hardOpen);
        // Opened means connected to the very ports named.
        const int hardLinks = hardOpen ? 1 : 0;
        const int remoteLinks = remoteOpen ? 1 : 0;
        QVERIFY(TestWait::until([&] {
            return unit->inputConnections() == hardLinks &&
                   unit->outputConnections() == hardLinks &&
                   pad->inputConnections() == remoteLinks &&
                   pad->outputConnections() == remoteLinks;
        }));
        TestWait::runEventLoop(100);
        QCOMPARE(pad->receivedCount(), 0);
    }

    // Two ports whose byte names differ only in invalid UTF-8 read as the
    // same text; the one the library lists first is opened.
    void duplicateNamesOpenTheLowerIndex()
    {
        RawJackClient twins(QString("shell-twins-%1").arg(getpid()));
        QVERIFY(twins.isOpen());
        const QByteArray sources[] = {twins.addMidiPort("dup\xff", true),
                                      twins.addMidiPort("dup\xfe", true)};
        QVERIFY(!sources[0].isEmpty() && !sources[1].isEmpty());
        const QString sharedName = QString::fromStdString(sources[0].toStdString());
        QCOMPARE(QString::fromStdString(sources[1].toStdString()), sharedName);
        ConfigSandbox::writePorts(sharedName, unit->inputPortName(), QString(), QString());

        TarnAppMainWindow window;
        window.initialize();
        QCOMPARE(window.hardIn()->portNames().count(sharedName), 2);
        QVERIFY(window.hardIn()->isPortOpen() && window.hardOut()->isPortOpen());
        const int lower =
            twins.listIndex(sources[0], true) < twins.listIndex(sources[1], true) ? 0 : 1;
        // JACK shows a new connection from its next cycle on.
        QTRY_COMPARE_WITH_TIMEOUT(twins.connectionCount(sources[lower]), 1, 2000);
        QCOMPARE(twins.connectionCount(sources[1 - lower]), 0);
    }

    // Opening an input adds a port to the list in which the output's name
    // was looked up. When a port was freed below the device's, the new one
    // sorts before it; the output must still open the port that is named.
    void outputOpensTheNamedPort_data()
    {
        QTest::addColumn<bool>("remote");
        QTest::newRow("hardware pair") << false;
        QTest::newRow("remote pair") << true;
    }
    void outputOpensTheNamedPort()
    {
        QFETCH(bool, remote);
        RawJackClient device(QString("shell-device-%1").arg(getpid()));
        QVERIFY(device.isOpen());
        QList<QByteArray> spacers;
        for (int i = 0; i < 3; ++i)
            spacers << device.addMidiPort("spacer" + QByteArray::number(i), false);
        const QByteArray source = device.addMidiPort("out", true);
        const QByteArray sink = device.addMidiPort("in", false);
        QVERIFY(!source.isEmpty() && !sink.isEmpty());
        for (const QByteArray &spacer : spacers)
            QVERIFY(device.removeMidiPort(spacer));
        const QString in = QString::fromUtf8(source);
        const QString out = QString::fromUtf8(sink);
        if (remote)
            ConfigSandbox::writePorts(QString(), QString(), in, out);
        else
            ConfigSandbox::writePorts(in, out, QString(), QString());

        TarnAppMainWindow window;
        window.initialize();
        QMidiOut *opened = remote ? window.remoteOut() : window.hardOut();
        QVERIFY(opened->isPortOpen());
        // JACK shows a new connection from its next cycle on.
        QTRY_COMPARE_WITH_TIMEOUT(device.connectionCount(source), 1, 2000);
        QTRY_COMPARE_WITH_TIMEOUT(device.connectionCount(sink), 1, 2000);
    }

    // The real program: first run, ended by SIGTERM, writes the window state
    // of the default grid, also when told which MIDI service to use.
    void realProgramFirstRun_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no arguments") << QStringList();
        QTest::newRow("MIDI service chosen") << QStringList{"--midi-api", "jack"};
    }
    void realProgramFirstRun()
    {
        QFETCH(QStringList, arguments);
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", sandbox->root());
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(TARNAPP_EXECUTABLE, arguments);
        QVERIFY(program.waitForStarted(5000));
        const auto stop = qScopeGuard([&] {
            if (program.state() != QProcess::NotRunning) {
                program.kill();
                program.waitForFinished(5000);
            }
        });
        QVERIFY(TestWait::until([&] { return catchesSigterm(program.processId()); }, 20000));
        QCOMPARE(program.state(), QProcess::Running);
        program.terminate();
        const QString folder = sandbox->root() + "/TarnApp";
        QVERIFY2(program.waitForFinished(15000),
                 QFile::exists(folder + "/DispStatus.ini")
                     ? "still running after SIGTERM, window state written"
                     : "still running after SIGTERM, window state not written");
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(ConfigSandbox::readIni(folder + "/DispStatus.ini"),
                 (QVariantMap{{"FontSize", "16"},
                              {"Width", "1100"},
                              {"Height", "400"},
                              {"X", "200"},
                              {"Y", "200"}}));
        QVERIFY(!QFile::exists(folder + "/TarnAppSetting.ini"));
    }

private:
    std::unique_ptr<ConfigSandbox> sandbox;
    std::unique_ptr<ModalAnswerer> closer;
    std::unique_ptr<MidiPeer> unit;
    std::unique_ptr<MidiPeer> pad;
};

QTEST_MAIN(TestMainWindowStartup)
#include "tst_mainwindow_startup.moc"
