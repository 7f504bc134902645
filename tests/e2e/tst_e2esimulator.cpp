// The demo's pairing, tested: the real TarnApp process and the real unit
// simulator (tarnapp-unitsim --pads) on the suite's JACK server, each watched
// from outside through its standard streams. Runs on the test's main thread.

#include "tarnapprun.h"

#include <QtTest>

namespace {

const QString serial = "12 34 56 78 01 02 03 04";

QStringList startingWith(const QStringList &lines, const QString &a, const QString &b)
{
    QStringList found;
    for (const QString &line : lines) {
        if (line.startsWith(a) || line.startsWith(b))
            found << line;
    }
    return found;
}

} // namespace

// The test cases; main thread.
class TestE2eSimulator : public QObject
{
    Q_OBJECT

private slots:
    void programFollowsTheSimulatedUnitAndPads();
};

void TestE2eSimulator::programFollowsTheSimulatedUnitAndPads()
{
    const QString name = QStringLiteral("e2e-sim-%1").arg(QCoreApplication::applicationPid());
    WatchedProcess unit(QStringLiteral(TARNAPP_UNITSIM),
                        {"--api", "jack", "--pads", "--name", name});
    QVERIFY(unit.start());
    // Its pad lamps, all dark, show once its ports are open.
    QVERIFY2(unit.waitForOutputLine("pads: [ ] [ ] [ ] [ ] [ ] [ ]"),
             qPrintable(unit.outputLines().join('\n') + unit.errorLines().join('\n')));

    // Set up as the demo does: the four port names as the port lists show them.
    TarnAppRun app;
    app.writeSettings(name + ":unit-out", name + ":unit-in", name + ":pads-out", name + ":pads-in");
    QVERIFY(app.start());

    // The program learns the serial number and takes the unit's "no preset".
    QVERIFY(app.waitForErrorLine("Rcv    : F0 " + serial + " 01 00 F7", 10000));
    QVERIFY(unit.waitForOutputLine("Send   : F0 " + serial + " 01 00 F7"));
    QCOMPARE(
        startingWith(unit.outputLines(), "Rcv    : ", "Send   : "),
        (QStringList{"Rcv    : F0 00 11 22 0A 00 00 00 00 02 00 F7",
                     "Send   : F0 " + serial + " 02 00 F7", "Rcv    : F0 " + serial + " 02 01 F7",
                     "Send   : F0 " + serial + " 01 00 F7"}));
    QVERIFY(TarnAppRun::fileLines(app.settingFilePath())
                .contains("SerialNumber=12-34-56-78-01-02-03-04"));

    // A pad press goes through the program to the unit, whose answer lights the pad.
    unit.writeLine("p3");
    QVERIFY(unit.waitForOutputLine("pads: [ ] [ ] [#] [ ] [ ] [ ]"));
    QVERIFY(unit.outputLines().contains("Rcv    : F0 " + serial + " 02 06 02 07 F7"));

    // A preset chosen on the unit itself shows on the pads too.
    unit.writeLine("6");
    QVERIFY(unit.waitForOutputLine("pads: [ ] [ ] [ ] [ ] [ ] [#]"));
    QVERIFY(app.errorLines().contains("Rcv    : F0 " + serial + " 01 06 F7"));

    QVERIFY(app.terminate());
    QCOMPARE(app.exitCode(), 0);
    unit.writeLine("q");
    QVERIFY(unit.waitForFinished(5000));
    QCOMPARE(unit.exitStatus(), QProcess::NormalExit);
    QCOMPARE(unit.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestE2eSimulator)
#include "tst_e2esimulator.moc"
