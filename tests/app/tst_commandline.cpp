// The command line: help and the version answered without a window or a MIDI
// port, mistakes refused with status 2, and the chosen MIDI service reaching
// the port objects, the option before the environment.
#include "commandline.h"
#include "midiportsupport.h"
#include "programrun.h"

#include <QDir>
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
        QTest::addColumn<QString>("output"); // found in what it prints
        QTest::addColumn<QString>("errors"); // found there too
        QTest::newRow("--version")
            << QStringList{"--version"} << "" << 0 << "TarnApp " TARNAPP_VERSION << "";
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
        ProgramRun program(TARNAPP_EXECUTABLE, arguments);
        program.setEnvironment("TARNAPP_MIDI_API", apiVariable);
        program.start();
        QCOMPARE(program.finish(), exitCode);
        const QString printed = program.lines().join('\n');
        QVERIFY2(printed.contains(output) && printed.contains(errors), qPrintable(printed));
        // No window: it would have written its state on the way out.
        QVERIFY(!QDir(program.configFolder()).exists());
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
