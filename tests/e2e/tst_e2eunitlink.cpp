// The real TarnApp process between a stand-in unit and a stand-in pad
// controller on the suite's JACK server, watched from outside: the bytes on
// the wire, the setting and window-state files, and the lines on its standard
// streams. Runs on the test's main thread.

#include "midipeer.h"
#include "tarnapprun.h"
#include "testwait.h"

#include <QtTest>

#include <csignal>
#include <memory>

namespace {

using Bytes = MidiPeer::Bytes;

const QString serialRequest = "F0 00 11 22 0A 00 00 00 00 02 00 F7";

Bytes bytes(const QString &hexText)
{
    Bytes result;
    for (const QString &byte : hexText.split(' ', Qt::SkipEmptyParts))
        result.push_back(static_cast<unsigned char>(byte.toUInt(nullptr, 16)));
    return result;
}

QString hex(const Bytes &message)
{
    QStringList parts;
    for (unsigned char byte : message)
        parts << QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
    return parts.join(' ');
}

QStringList hexList(const std::vector<Bytes> &messages)
{
    QStringList list;
    for (const Bytes &message : messages)
        list << hex(message);
    return list;
}

// A message from or to the unit with the simulated serial number: F0, the
// serial, then tail.
QString unitMessage(const QString &tail)
{
    return "F0 12 34 56 78 01 02 03 04 " + tail;
}

// The six Note On messages that tell the pads which preset is active.
QStringList feedback(int activeIndex)
{
    QStringList notes;
    for (int i = 0; i < 6; ++i)
        notes << QStringLiteral("90 %1 %2")
                     .arg(0x36 + i, 2, 16)
                     .toUpper()
                     .arg(i == activeIndex ? "7F" : "00");
    return notes;
}

// What the program prints on standard output for each received message, up
// to its delta time, which varies.
QStringList receivedLines(const QStringList &outputLines)
{
    QStringList lines;
    for (const QString &line : outputLines) {
        if (line.startsWith("Byte 0 = "))
            lines << line.left(line.indexOf("stamp = "));
    }
    return lines;
}

} // namespace

// The test cases; main thread.
class TestE2eUnitLink : public QObject
{
    Q_OBJECT

private slots:
    void conversationWithTheUnit();
    void padsWaitForTheSerialNumberButTheFootSwitchDoesNot();
    void unitDisappearingMidRun();

private:
    static void startBetween(TarnAppRun &app, const MidiPeer &unit, const MidiPeer &pads,
                             const QVariantMap &more = {});
};

void TestE2eUnitLink::startBetween(TarnAppRun &app, const MidiPeer &unit, const MidiPeer &pads,
                                   const QVariantMap &more)
{
    app.writeSettings(unit.outputPortName(), unit.inputPortName(), pads.outputPortName(),
                      pads.inputPortName(), more);
    QVERIFY(app.start());
}

void TestE2eUnitLink::conversationWithTheUnit()
{
    MidiPeer unit("e2e-unit");
    MidiPeer pads("e2e-pads");
    TarnAppRun app;
    startBetween(app, unit, pads);
    if (QTest::currentTestFailed())
        return;

    // One serial request, and nothing more while the unit is silent.
    QVERIFY(unit.waitForMessages(1));
    QTest::qWait(300);
    QCOMPARE(hexList(unit.received()), QStringList{serialRequest});

    // The serial reply is not a status reply: the program learns and stores
    // the number, asks for the status, and shows nothing yet.
    QVERIFY(unit.send(bytes(unitMessage("02 00 F7"))));
    QVERIFY(unit.waitForMessages(2));
    QCOMPARE(hex(unit.received()[1]), unitMessage("02 01 F7"));
    QVERIFY(TarnAppRun::fileLines(app.settingFilePath())
                .contains("SerialNumber=12-34-56-78-01-02-03-04"));
    QCOMPARE(pads.receivedCount(), 0);

    // The status reply: preset 3 is active, and the pads follow.
    QVERIFY(unit.send(bytes(unitMessage("01 03 F7"))));
    QVERIFY(pads.waitForMessages(6));
    QCOMPARE(hexList(pads.received()), feedback(2));

    // Only Note On with velocity 127 selects: velocity 100 and Note Off do
    // not. The press becomes one preset request, and the pads change only
    // when the unit answers.
    pads.clearReceived();
    QVERIFY(pads.send(bytes("90 38 64")));
    pads.sendNow(bytes("80 3A 7F"));
    pads.sendNow(bytes("9A 3A 7F"));
    QVERIFY(unit.waitForMessages(3));
    QTest::qWait(200);
    QCOMPARE(unit.receivedCount(), 3);
    QCOMPARE(hex(unit.received()[2]), unitMessage("02 06 04 07 F7"));
    QCOMPARE(pads.receivedCount(), 0);
    QVERIFY(unit.send(bytes(unitMessage("01 05 F7"))));
    QVERIFY(pads.waitForMessages(6));
    QCOMPARE(hexList(pads.received()), feedback(4));

    // The same status again changes nothing and sends nothing.
    pads.clearReceived();
    QVERIFY(unit.send(bytes(unitMessage("01 05 F7"))));
    QVERIFY(TestWait::until([&] { return app.errorLinesStartingWith({"Rcv    : "}).size() == 4; }));
    QTest::qWait(200);
    QCOMPARE(pads.receivedCount(), 0);

    // The traffic log, and a "send message" line for each send just before.
    const QStringList traffic{
        "Send   : " + serialRequest,
        "Rcv    : " + unitMessage("02 00 F7"),
        "Send   : " + unitMessage("02 01 F7"),
        "Rcv    : " + unitMessage("01 03 F7"),
        "Send   : " + unitMessage("02 06 04 07 F7"),
        "Rcv    : " + unitMessage("01 05 F7"),
        "Rcv    : " + unitMessage("01 05 F7"),
    };
    QCOMPARE(app.errorLinesStartingWith({"Send   : ", "Rcv    : "}), traffic);
    QStringList sends{"send message 240", traffic[0], "send message 240", traffic[2]};
    for (int i = 0; i < 6; ++i)
        sends << "send message 144";
    sends << "send message 240" << traffic[4];
    for (int i = 0; i < 6; ++i)
        sends << "send message 144";
    QCOMPARE(app.errorLinesStartingWith({"send message", "Send   : "}), sends);
    QCOMPARE(app.errorLinesStartingWith({"channel "}),
             (QStringList{"channel 96", "channel 96", "channel 0", "channel -16", "channel 10",
                          "channel 96", "channel 96"}));
    const QString serialBytes = "Byte 0 = 240, Byte 1 = 18, Byte 2 = 52, Byte 3 = 86, "
                                "Byte 4 = 120, Byte 5 = 1, Byte 6 = 2, Byte 7 = 3, Byte 8 = 4, ";
    QCOMPARE(receivedLines(app.outputLines()),
             (QStringList{serialBytes + "Byte 9 = 2, Byte 10 = 0, Byte 11 = 247, ",
                          serialBytes + "Byte 9 = 1, Byte 10 = 3, Byte 11 = 247, ",
                          "Byte 0 = 144, Byte 1 = 56, Byte 2 = 100, ",
                          "Byte 0 = 128, Byte 1 = 58, Byte 2 = 127, ",
                          "Byte 0 = 154, Byte 1 = 58, Byte 2 = 127, ",
                          serialBytes + "Byte 9 = 1, Byte 10 = 5, Byte 11 = 247, ",
                          serialBytes + "Byte 9 = 1, Byte 10 = 5, Byte 11 = 247, "}));

    // SIGTERM ends it like a window close: exit code 0, window state written.
    QVERIFY(app.terminate());
    QCOMPARE(app.exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.exitCode(), 0);
    const QStringList state = TarnAppRun::fileLines(app.windowStateFilePath());
    for (const char *line : {"Width=1100", "Height=400", "X=200", "Y=200"})
        QVERIFY2(state.contains(line), qPrintable(state.join(" | ")));
    const QStringList fontSize = state.filter(QRegularExpression("^FontSize=[1-9][0-9]*$"));
    QCOMPARE(fontSize.size(), 1);
}

void TestE2eUnitLink::padsWaitForTheSerialNumberButTheFootSwitchDoesNot()
{
    MidiPeer unit("e2e-unit");
    MidiPeer pads("e2e-pads");
    TarnAppRun app;
    // The foot switch stands for the second preset (list entry 2; entry 0 is "none").
    startBetween(app, unit, pads, {{"FootSwitchIndex", 2}});
    if (QTest::currentTestFailed())
        return;
    QVERIFY(unit.waitForMessages(1));

    // The unit stays silent: the pads are ignored, the foot switch is not,
    // and its request carries no serial number yet. A press that was acted on
    // would reach the unit before the foot switch's request.
    QVERIFY(pads.send(bytes("90 36 7F")));
    pads.sendNow(bytes("90 45 7F"));
    pads.sendNow(bytes("80 45 00"));
    pads.sendNow(bytes("90 45 00"));
    QVERIFY(unit.waitForMessages(2));
    QTest::qWait(300);
    QCOMPARE(hexList(unit.received()), (QStringList{serialRequest, "F0 02 06 01 07 F7"}));
    QCOMPARE(app.errorLinesStartingWith({"Send   : "}),
             (QStringList{"Send   : " + serialRequest, "Send   : F0 02 06 01 07 F7"}));
    QCOMPARE(pads.receivedCount(), 0);
}

void TestE2eUnitLink::unitDisappearingMidRun()
{
    auto unit = std::make_unique<MidiPeer>("e2e-unit");
    MidiPeer pads("e2e-pads");
    TarnAppRun app;
    startBetween(app, *unit, pads);
    if (QTest::currentTestFailed())
        return;

    // A serial reply that is a status reply too: serial, status and feedback at once.
    QVERIFY(unit->waitForMessages(1));
    QVERIFY(unit->send(bytes(unitMessage("01 02 F7"))));
    QVERIFY(unit->waitForMessages(2));
    QCOMPARE(hex(unit->received()[1]), unitMessage("02 01 F7"));
    QVERIFY(pads.waitForMessages(6));
    QCOMPARE(hexList(pads.received()), feedback(1));

    // The unit goes away (unplugged): its client and ports vanish.
    unit.reset();
    TestWait::runEventLoop(100);

    // The program keeps running and keeps taking presses; its requests go
    // nowhere. More of them than the library's 16 KB send buffer holds (about
    // 900 of these requests), so a buffer that nobody drained any more would
    // block the program. A few per JACK period, so the service has room.
    const int presses = 1500;
    QVERIFY(pads.send(bytes("90 36 7F")));
    for (int i = 1; i < presses; ++i) {
        pads.sendNow(bytes("90 36 7F"));
        if (i % 10 == 0)
            QTest::qWait(10);
    }
    // A last press for another preset must still come out after all of them.
    // Pressed again if the service lost it.
    bool lastPressSent = false;
    for (int attempt = 0; attempt < 3 && !lastPressSent; ++attempt) {
        QVERIFY(pads.send(bytes("90 3B 7F")));
        lastPressSent =
            app.waitForErrorLine("Send   : " + unitMessage("02 06 05 07 F7"), 10000);
    }
    QVERIFY(lastPressSent);
    QVERIFY(app.isRunning());
    QVERIFY(TestWait::until([&] {
        return receivedLines(app.outputLines())
            .contains("Byte 0 = 144, Byte 1 = 59, Byte 2 = 127, ");
    }));

    // Every press that reached the program (its standard output lists each
    // message received) became a request. A service that missed periods
    // under load may have lost some presses, but enough came through.
    const int received =
        receivedLines(app.outputLines()).count("Byte 0 = 144, Byte 1 = 54, Byte 2 = 127, ");
    QCOMPARE(app.errorLines().count("Send   : " + unitMessage("02 06 00 07 F7")), received);
    QVERIFY2(received > 1000, qPrintable(QString::number(received)));
    QCOMPARE(pads.receivedCount(), 6);

    QVERIFY(app.terminate());
    QCOMPARE(app.exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.exitCode(), 0);
    QVERIFY(QFile::exists(app.windowStateFilePath()));
}

QTEST_GUILESS_MAIN(TestE2eUnitLink)
#include "tst_e2eunitlink.moc"
