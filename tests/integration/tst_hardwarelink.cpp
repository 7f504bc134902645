// The link to the unit as the unit and the pads see it: the replies that
// come in, the requests, feedback notes and traffic lines that go out, and
// the state, status line, buttons and stored serial number the window ends with.
#include "jackprobe.h"
#include "midiservice.h"
#include "modalanswerer.h"
#include "peer.h"
#include "testwait.h"
#include "windowbench.h"

#include "portpair.h"
#include "qmidiout.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QThread>
#include <QTimer>

using Replies = std::vector<ByteVector>;
Q_DECLARE_METATYPE(Replies)

const QString StoredBefore = "11-22-33-44-55-66-77-08";
const QString SerialRequest = "Send   : F0 00 11 22 0A 00 00 00 00 02 00 F7";

// The shape of the unit's messages: F0, serial number, type, value, F7.
static ByteVector sysEx(const ByteVector &serial, unsigned char type, unsigned char value)
{
    ByteVector bytes = serial;
    bytes.insert(bytes.begin(), 0xF0);
    for (unsigned char byte : {type, value, static_cast<unsigned char>(0xF7)})
        bytes.push_back(byte);
    return bytes;
}

static QString hex(const ByteVector &bytes, char separator = ' ')
{
    const QByteArray raw(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()));
    return raw.toHex(separator).toUpper();
}

// The six notes of one feedback round: 54 + i, velocity 127 for the active pad.
static Replies feedback(const QList<int> &rounds)
{
    Replies notes;
    for (int active : rounds)
        for (int i = 0; i < 6; ++i)
            notes.push_back(
                MidiService::delivered({0x90, static_cast<unsigned char>(54 + i),
                                        static_cast<unsigned char>(i == active ? 127 : 0)}));
    return notes;
}

// What the window shows in a state: status line, enabled buttons, the
// active one marked apart from the others.
static void checkWindow(WindowBench &bench, int state, int active)
{
    const QStringList texts{
        "Please set midi port to the setting.", "Serial number isn't being received.",
        "Init Status isn't being received", "Complete : [" + hex(Peer::serial) + "]"};
    QCOMPARE(int(bench.window().link().hardStatus()), state);
    QCOMPARE(bench.widget<QLabel>("labelMessage")->text(), texts.value(state));
    const QString plain = bench.presetButton(active == 0 ? 1 : 0)->styleSheet();
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(bench.presetButton(i)->isEnabled(), state >= 2);
        QCOMPARE(bench.presetButton(i)->styleSheet() == plain, i != active);
    }
}

// The Qt Test cases of this file; GUI thread.
class TestHardwareLink : public QObject
{
    Q_OBJECT

private slots:
    void replies_data()
    {
        const ByteVector U = Peer::serial, three = sysEx(U, 1, 3);
        QTest::addColumn<Replies>("replies");
        QTest::addColumn<int>("initAfter");     // the reply after which the init request goes out
        QTest::addColumn<QList<int>>("rounds"); // feedback rounds, by active pad
        QTest::addColumn<int>("state");         // NoPort: no port set
        QTest::addColumn<int>("active");
        using Rounds = QList<int>;
        QTest::newRow("no ports") << Replies{} << -1 << Rounds{} << 0 << -1;
        QTest::newRow("silent unit") << Replies{} << -1 << Rounds{} << 1 << -1;
        QTest::newRow("one report twice") << Replies{three, three} << 0 << Rounds{2} << 3 << 2;
        QTest::newRow("preset byte 00") << Replies{sysEx(U, 1, 0)} << 0 << Rounds{-1} << 3 << -1;
        QTest::newRow("report after an out-of-range one")
            << Replies{three, sysEx(U, 1, 0x0A), three} << 0 << Rounds{2, -1, 2} << 3 << 2;
        QTest::newRow("serial learnt once per connection")
            << Replies{three, sysEx(ByteVector(8, 1), 1, 4)} << 0 << Rounds{2, 3} << 3 << 3;
        QTest::newRow("short SysEx, then the serial reply")
            << Replies{{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}, sysEx(U, 2, 0)} << 1 << Rounds{} << 2
            << -1;
    }

    void replies()
    {
        QFETCH(Replies, replies);
        QFETCH(int, initAfter);
        QFETCH(QList<int>, rounds);
        QFETCH(int, state);
        QFETCH(int, active);
        Peer unit("h-link-unit"), pads("h-link-pads");
        QVariantMap setting = state ? WindowBench::ports(&unit, &pads) : QVariantMap();
        setting["SerialNumber"] = StoredBefore;
        setting["ConfirmTimeout"] = 0; // a raw peer answers no request by itself
        WindowBench bench(setting);

        QStringList traffic;
        if (state)
            traffic << SerialRequest;
        for (size_t i = 0; i < replies.size(); ++i) {
            unit.send(replies[i]);
            traffic << "Rcv    : " + hex(replies[i]);
            if (int(i) == initAfter)
                traffic << "Send   : " + hex(sysEx(Peer::serial, 2, 1));
        }
        QVERIFY(TestWait::until([&] { return bench.traffic().size() >= traffic.size(); }));
        QCOMPARE(bench.traffic(), traffic);
        const Replies notes = feedback(rounds);
        QVERIFY(pads.waitFor(int(notes.size())));
        QCOMPARE(pads.received(), notes);
        checkWindow(bench, state, active);
        // Saved as soon as learnt; kept while none is learnt.
        QCOMPARE(WindowBench::read(AppSetting::settingFilePath()).value("SerialNumber"),
                 QVariant(state >= 2 ? hex(Peer::serial, '-') : StoredBefore));
    }

    // Catches an unanswered init status request left waiting for ever, and
    // a second answer (to the repeat) taken as a second completion.
    void lostStatusRequestIsAskedAgain()
    {
        Peer unit("h-init-unit"), pads("h-init-pads", Peer::Pads);
        WindowBench bench(WindowBench::ports(&unit, &pads));
        QVERIFY(TestWait::until([&] { return bench.traffic().size() >= 1; }));
        unit.send(sysEx(Peer::serial, 2, 0));
        const QString init = "Send   : " + hex(sysEx(Peer::serial, 2, 1));
        QVERIFY(TestWait::until([&] { return bench.traffic().count(init) == 2; }));
        QCOMPARE(bench.log().lines("Link   : no answer to the status").size(), 1);
        unit.send(sysEx(Peer::serial, 1, 3));
        unit.send(sysEx(Peer::serial, 1, 3));
        QVERIFY(TestWait::until([&] { return bench.traffic().filter("Rcv").size() >= 3; }));
        QVERIFY(pads.waitFor(6));
        checkWindow(bench, 3, 2);
        QCOMPARE(pads.received(), feedback({2}));
    }

    // Catches "Please set midi port" for a unit that is set but absent.
    void absentUnitIsNamed()
    {
        Peer other("h-other"); // a service listing ports, none of them the unit's
        QVariantMap setting{{"HardwareMidiInPort", "h-ghost Out:out"},
                            {"HardwareMidiOutPort", "h-ghost In:in"}};
        WindowBench bench(setting);
        QCOMPARE(bench.widget<QLabel>("labelMessage")->text(),
                 QString("The unit is not connected (port \"h-ghost Out:out\")."));
        QCOMPARE(bench.log().lines("Status :"),
                 QStringList{"Status : The unit is not connected (port \"h-ghost Out:out\")."});
    }

    // Each failed send shows one box at a time; a newer reply handled inside
    // the box's loop wins over the one the box interrupted.
    void newerReplyWinsOverOneInterruptedByABox()
    {
        Peer unit("h-nest-unit"), pads("h-nest-pads");
        WindowBench bench(WindowBench::ports(&unit, &pads));
        TarnAppMainWindow &window = bench.window();
        ModalAnswerer answerer;
        answerer.answerNext([&](QWidget *box) {
            bench.presetButton(5)->click(); // fails too, inside the open box
            unit.send(sysEx(Peer::serial, 1, 1));
            TestWait::until([&] { return bench.log().lines("Rcv    : ").size() == 2; });
            window.link().ports()->out()->failSendsWith(QString());
            ModalAnswerer::close(box);
        });
        window.link().ports()->out()->failSendsWith("refused");
        // The serial reply reports index 1; its init status request fails.
        unit.send(sysEx(Peer::serial, 1, 2));
        QVERIFY(TestWait::until(
            [&] { return answerer.seen().size() == 1 && !QApplication::activeModalWidget(); }));

        QCOMPARE(answerer.seen(), QStringList{"Midi Hard Send Error: refused"});
        QCOMPARE(bench.log().lines("Midi Hard Send Error: refused").size(), 1);
        // Failed sends write no traffic line.
        QCOMPARE(bench.traffic(),
                 QStringList({SerialRequest, "Rcv    : " + hex(sysEx(Peer::serial, 1, 2)),
                              "Rcv    : " + hex(sysEx(Peer::serial, 1, 1))}));
        QVERIFY(pads.waitFor(6));
        QCOMPARE(pads.received(), feedback({0}));
        checkWindow(bench, 3, 0);
    }

    void failingFeedbackShowsSixBoxesInTurn()
    {
        Peer unit("h-fail-unit"), pads("h-fail-pads");
        WindowBench bench(WindowBench::ports(&unit, &pads));
        ModalAnswerer answerer;
        bench.window().pads().ports()->out()->failSendsWith("refused");
        unit.send(sysEx(Peer::serial, 1, 3));
        QVERIFY(answerer.waitForSeen(6));
        QCOMPARE(answerer.seen().count("Midi Remote Send Error: refused"), 6);
        checkWindow(bench, 3, 2);
    }

    // The lamps go out before the buttons are restyled: a newer report handled
    // in a failed lamp's box is still what the buttons show afterwards.
    void newerReportWinsOverOneInterruptedByALampsBox()
    {
        Peer unit("h-lamp-unit"), pads("h-lamp-pads");
        WindowBench bench(WindowBench::ports(&unit, &pads));
        ModalAnswerer answerer;
        answerer.answerNext([&](QWidget *box) {
            unit.send(sysEx(Peer::serial, 1, 5));
            TestWait::until([&] { return bench.log().lines("Rcv    : ").size() == 2; });
            ModalAnswerer::close(box);
        });
        bench.window().pads().ports()->out()->failSendsWith("refused");
        unit.send(sysEx(Peer::serial, 1, 3));
        QVERIFY(TestWait::until(
            [&] { return answerer.seen().size() == 1 && !QApplication::activeModalWidget(); }));
        checkWindow(bench, 3, 4);
    }

    // A report of the unit still queued when the user reconnects is not the
    // serial reply of the connection that follows.
    void replyQueuedBeforeAReconnectIsDropped()
    {
        Peer unit("h-race-unit");
        WindowBench bench(WindowBench::ports(&unit, nullptr));
        unit.send(sysEx(Peer::serial, 1, 3));
        QVERIFY(TestWait::until([&] { return !bench.window().link().hardSerial().empty(); }));

        unit.send(sysEx(Peer::serial, 1, 5));
        // Waited for without the event loop, so that the report stays queued.
        QElapsedTimer timer;
        for (timer.start(); bench.log().lines("channel 96").size() < 2 && timer.elapsed() < 5000;)
            QThread::msleep(1);
        QCOMPARE(bench.log().lines("channel 96").size(), 2);
        bench.widget<QPushButton>("pushGetSerial")->click();
        QVERIFY(jackProbe().waitConnected(unit.out()));
        jackProbe().settle();
        unit.send(sysEx(ByteVector(8, 1), 2, 0)); // the unit now there answers
        QVERIFY(TestWait::until([&] { return !bench.window().link().hardSerial().empty(); }));
        QCOMPARE(bench.window().link().hardSerial(), ByteVector(8, 1));
        QCOMPARE(bench.traffic().filter("Rcv").size(), 2);
    }
};

QTEST_MAIN(TestHardwareLink)
#include "tst_hardwarelink.moc"
