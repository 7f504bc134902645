// The command line: help and the version answered without a window or a MIDI
// port, mistakes refused with status 2, and the chosen MIDI service reaching
// the port objects, the option before the environment.
#include "commandline.h"
#include "configsandbox.h"
#include "midiportsupport.h"

#include <QDir>
#include <QProcess>
#include <QTest>

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void realProgram_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("apiVariable");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output"); // found in standard output
        QTest::addColumn<QString>("errors"); // found in standard error
        QTest::newRow("--version")
            << QStringList{"--version"} << "" << 0 << "TarnApp " TARNAPP_VERSION "\n"
            << "";
        QTest::newRow("--help") << QStringList{"--help"} << "" << 0 << "--midi-api <service>"
                                << "";
        QTest::newRow("unknown option") << QStringList{"--frobnicate"} << "" << 2 << ""
                                        << "Usage:";
        QTest::newRow("unknown --midi-api")
            << QStringList{"--midi-api", "coreaudio"} << "" << 2 << ""
            << "'coreaudio'";
        QTest::newRow("unknown in environment") << QStringList() << "oss" << 2 << ""
                                                << "'oss' in TARNAPP_MIDI_API";
    }
    void realProgram()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, apiVariable);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QFETCH(QString, errors);
        ConfigSandbox sandbox;
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", sandbox.root());
        environment.insert("TARNAPP_MIDI_API", apiVariable);
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        program.setProcessEnvironment(environment);
        program.start(TARNAPP_EXECUTABLE, arguments);
        QVERIFY2(program.waitForFinished(30000), "still running: it opened its window");
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), exitCode);
        const QString printed = QString::fromLocal8Bit(program.readAllStandardOutput());
        QVERIFY2(output.isEmpty() ? printed.isEmpty() : printed.contains(output),
                 qPrintable(printed));
        const QString complaints = QString::fromLocal8Bit(program.readAllStandardError());
        QVERIFY2(complaints.contains(errors), qPrintable(complaints));
        // No window: it would have written its state on the way out.
        QCOMPARE(QDir(sandbox.root()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList());
    }

    void serviceChoice_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("apiVariable");
        QTest::addColumn<int>("api");
        QTest::newRow("environment") << QStringList() << "ALSA" << int(RtMidi::LINUX_ALSA);
        QTest::newRow("option wins")
            << QStringList{"--midi-api", "jack"} << "alsa" << int(RtMidi::UNIX_JACK);
        QTest::newRow("option wins over a wrong one")
            << QStringList{"--midi-api", "alsa"} << "oss" << int(RtMidi::LINUX_ALSA);
    }
    void serviceChoice()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, apiVariable);
        QFETCH(int, api);
        CommandLine commandLine;
        commandLine.parse(QStringList{"TarnApp"} + arguments, apiVariable);
        QVERIFY2(!commandLine.exits(), qPrintable(commandLine.errorOutput()));
        QCOMPARE(int(commandLine.midiApi()), api);
        // The port objects get that service or none, never another one.
        MidiPortSupport::setPreferredApi(commandLine.midiApi());
        auto port = MidiPortSupport::createPort<RtMidiOut>(std::string("tst_commandline"));
        MidiPortSupport::setPreferredApi(RtMidi::UNSPECIFIED);
        QVERIFY(!port || int(port->getCurrentApi()) == api);
    }
};

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
