// The command line: help and the version answered without a window or a MIDI
// port, mistakes refused with status 2 (with a display or none, Qt's own
// options passed over), and the chosen MIDI service reaching
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
    // Catches a wrong answer or exit status, a window or port opened before a
    // mistake is refused, a wrong service chosen, and a service other than the
    // chosen one given to the port objects.
    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("apiVariable");
        QTest::addColumn<int>("exitCode"); // -1: the program runs
        QTest::addColumn<QString>("printed");
        QTest::addColumn<int>("api");
        const int none = RtMidi::UNSPECIFIED, alsa = RtMidi::LINUX_ALSA;
        QTest::newRow("--version")
            << QStringList{"--version"} << "" << 0 << "TarnApp " TARNAPP_VERSION << none;
        QTest::newRow("--help") << QStringList{"--help"} << "" << 0 << "--midi-api <service>"
                                << none;
        QTest::newRow("unknown option")
            << QStringList{"--frobnicate"} << "" << 2 << "Usage:" << none;
        QTest::newRow("unknown --midi-api")
            << QStringList{"--midi-api", "coreaudio"} << "" << 2 << "'coreaudio'" << none;
        QTest::newRow("Qt's options and a mistake")
            << QStringList{"-style", "fusion", "--midi-api", "coreaudio"} << "" << 2
            << "Unknown MIDI service 'coreaudio'" << none;
        QTest::newRow("unknown in environment")
            << QStringList() << "oss" << 2 << "'oss' in TARNAPP_MIDI_API" << none;
        QTest::newRow("environment") << QStringList() << "ALSA" << -1 << "" << alsa;
        QTest::newRow("option wins over a wrong one")
            << QStringList{"--midi-api", "alsa"} << "oss" << -1 << "" << alsa;
    }
    void parse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, apiVariable);
        QFETCH(int, api);
        CommandLine commandLine;
        commandLine.parse(QStringList{"TarnApp"} + arguments, apiVariable);
        QTEST(commandLine.exitCode(), "exitCode");
        QCOMPARE(int(commandLine.midiApi()), api);
        if (!commandLine.exits()) {
            // The port objects get that service or none, never another one.
            const RtMidi::Api suite = MidiPortSupport::preferredApi();
            MidiPortSupport::setPreferredApi(commandLine.midiApi());
            const std::unique_ptr<MidiBackend> port = MidiPortSupport::createOutput();
            MidiPortSupport::setPreferredApi(suite);
            QVERIFY(!port->usable() || port->api() == api);
            return;
        }
        QFETCH(QString, printed);
        // Printed by the program itself, with no window opened (it would
        // write its state on the way out), with a display and without one.
        for (const char *platform : {"offscreen", ""}) {
            ProgramRun program(TARNAPP_EXECUTABLE, arguments);
            program.setEnvironment("TARNAPP_MIDI_API", apiVariable);
            program.setEnvironment("QT_QPA_PLATFORM", platform);
            program.setEnvironment("DISPLAY", "");
            program.setEnvironment("WAYLAND_DISPLAY", "");
            program.start();
            QTEST(program.finish(), "exitCode");
            QVERIFY2(program.lines().join('\n').contains(printed),
                     qPrintable(program.lines().join('\n')));
            QVERIFY(!QDir(program.configFolder()).exists());
        }
    }
};

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
