// TarnApp and the simulated unit with pads, both run as a user runs them on
// the suite's server, watched through their output lines. Main thread.

#include "jackprobe.h"
#include "midiservice.h"
#include "programrun.h"
#include "windowbench.h"

#include <QtTest>
#include <jack/jack.h>

class TestProgram : public QObject
{
    Q_OBJECT

private slots:
    void followsTheUnitAndThePads();
    void noJackClientOnAlsa();
};

void TestProgram::followsTheUnitAndThePads()
{
    const QString serial = "12 34 56 78 01 02 03 04";
    ProgramRun unit(TARNAPP_UNITSIM, {"--api", MidiService::apiName(), "--pads", "--name", "sim"});
    unit.start();
    QVERIFY(unit.waitForLine("pads: [ ] [ ] [ ] [ ] [ ] [ ]"));
    // A second unit of that name: JACK and PipeWire from 1.4 name its client
    // anew ("sim-01", "sim-34"), which it must show; the program stays with
    // the first. (PipeWire 0.3 and ALSA give it the same names.)
    ProgramRun twin(TARNAPP_UNITSIM, {"--api", MidiService::apiName(), "--name", "sim"});
    const bool renames =
        !MidiService::isAlsa() && !QByteArray(jack_get_version_string()).contains("PipeWire 0.");
    if (renames) {
        twin.start();
        QVERIFY(twin.waitForLine("unit: type h for commands"));
        const QStringList ports = twin.lines("port: ");
        QCOMPARE(ports.filter("NAME ALREADY TAKEN").size(), 2);
        QVERIFY2(ports.filter("\"sim:").isEmpty(), qPrintable(ports.join('\n')));
    }

    ProgramRun app(TARNAPP_EXECUTABLE);
    const QString setting = app.configFolder() + "/TarnAppSetting.ini";
    using MidiService::listed;
    // On JACK the simulator is one client; on ALSA a client per port.
    const auto port = [](const QString &alsaClient, const QString &port) {
        return MidiService::isAlsa() ? listed(alsaClient + ":" + port) : "sim:" + port;
    };
    QTemporaryDir folder;
    QFile gig(folder.filePath("gig.txt"));
    QVERIFY(gig.open(QIODevice::WriteOnly) && gig.write("A: 1\nB: 2\nC: 3 5\n") > 0);
    gig.close();
    WindowBench::write(setting, {{"HardwareMidiInPort", port("sim Out", "unit-out")},
                                 {"HardwareMidiOutPort", port("sim In", "unit-in")},
                                 {"RemoteMidiInPort", port("sim Pads Out", "pads-out")},
                                 {"RemoteMidiOutPort", port("sim Pads In", "pads-in")},
                                 {"RemoteNextPart", "cc any 80"},
                                 {"SetlistFile", gig.fileName()},
                                 {"SetlistPosition", "1 1"}});
    app.start();

    // Serial request, serial learnt and saved, init status request, no preset.
    QVERIFY(unit.waitForLine("Send   : F0 " + serial + " 01 00 F7"));
    QVERIFY(app.waitForLine("Rcv    : F0 " + serial + " 01 00 F7"));
    QCOMPARE(unit.lines("Rcv    : "), QStringList({"Rcv    : F0 00 11 22 0A 00 00 00 00 02 00 F7",
                                                   "Rcv    : F0 " + serial + " 02 01 F7"}));
    QCOMPARE(WindowBench::read(setting).value("SerialNumber").toString(),
             QString(serial).replace(' ', '-'));
    // Every received message is also printed byte by byte on standard output.
    QVERIFY(app.lines("Byte 0 = 240, Byte 1 = 18, Byte 2 = 52, ").size() >= 2);

    // A pad press reaches the unit, whose answer lights that pad.
    unit.writeLine("p3");
    QVERIFY(unit.waitForLine("pads: [ ] [ ] [#] [ ] [ ] [ ]"));
    QVERIFY(unit.lines().contains("Rcv    : F0 " + serial + " 02 06 02 07 F7"));
    // A preset chosen on the unit's front panel shows on the pads too.
    unit.writeLine("6");
    QVERIFY(unit.waitForLine("pads: [ ] [ ] [ ] [ ] [ ] [#]"));
    // The simulator's Song Select and its switch learnt as next part step the setlist.
    unit.writeLine("song 3");
    QVERIFY(app.waitForLine("Setlist: song 3/3 \"C\" part 1/2 -> preset 3"));
    QVERIFY(unit.waitForLine("pads: [ ] [ ] [#] [ ] [ ] [ ]"));
    unit.writeLine("n+");
    QVERIFY(unit.waitForLine("pads: [ ] [ ] [ ] [ ] [#] [ ]"));
    QCOMPARE(WindowBench::read(setting).value("SetlistPosition").toString(), QString("3 2"));

    // Ended as the desktop ends it: the state of a first start is written,
    // the default 1100 x 400 at (200, 200) brought into the offscreen screen
    // (800 wide, frames of 2), with the fonts of that size.
    QCOMPARE(app.terminate(), 0);
    QVariantMap state = WindowBench::read(app.configFolder() + "/DispStatus.ini");
    const QRect stored(state.take("X").toInt(), state.take("Y").toInt(), 796, 400);
    // Inside the 800 x 600 screen; Qt 6's offscreen frames are drawn around
    // it, where Qt 5's are inside.
    QVERIFY(QRect(0, 0, 800, 600).contains(stored));
    QCOMPARE(state, (QVariantMap{{"FontSize", "14"}, {"Width", "796"}, {"Height", "400"}}));
    unit.writeLine("q");
    QCOMPARE(unit.finish(), 0);
    QCOMPARE(twin.lines("Rcv    : "), QStringList());
}

// Catches a port watch that joins a JACK server (run for audio, here the
// suite's) while the ports are on ALSA.
void TestProgram::noJackClientOnAlsa()
{
    if (!jackProbe().isValid())
        QSKIP("no JACK server runs beside");
    ProgramRun app(TARNAPP_EXECUTABLE, {"--midi-api", "alsa"});
    app.start();
    QCOMPARE(app.terminate(), 0);
    jackProbe().settle(); // its coming would have been told by now
    QCOMPARE(jackProbe().clientsCome().filter(QRegularExpression("^TarnApp")), QStringList());
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
