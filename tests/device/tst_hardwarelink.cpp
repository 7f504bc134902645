// The link to the unit as the unit and the pads see it: the replies that
// come in, the requests, feedback notes and traffic lines that go out, and
// the state, status line, buttons and stored serial number the window ends with.
#include "jackprobe.h"
#include "modalanswerer.h"
#include "peer.h"
#include "testwait.h"
#include "windowbench.h"

#include "appsetting.h"
#include "qmidiout.h"
#include "tarnappmainwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QThread>

using Replies = std::vector<ByteVector>;
Q_DECLARE_METATYPE(Replies)

namespace {

const ByteVector Other{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
const QString StoredBefore = "11-22-33-44-55-66-77-08";
const QString SerialRequest = "Send   : F0 00 11 22 0A 00 00 00 00 02 00 F7";

ByteVector reply(const ByteVector &serial, ByteVector tail)
{
    tail.insert(tail.begin(), serial.begin(), serial.end());
    tail.insert(tail.begin(), 0xF0);
    return tail;
}

ByteVector status(const ByteVector &serial, unsigned char presetByte)
{
    return reply(serial, {0x01, presetByte, 0xF7});
}

QString hex(const ByteVector &bytes, const char *separator = " ")
{
    QStringList parts;
    for (unsigned char byte : bytes)
        parts << QString::asprintf("%02X", byte);
    return parts.join(separator);
}

// The six notes of one feedback round: 54 + i, velocity 127 for the active pad.
Replies feedback(const QList<int> &rounds)
{
    Replies notes;
    for (int active : rounds)
        for (int i = 0; i < 6; ++i)
            notes.push_back({0x90, static_cast<unsigned char>(54 + i),
                             static_cast<unsigned char>(i == active ? 127 : 0)});
    return notes;
}

// What the window shows in a state: status line, lamp, buttons.
void checkWindow(TarnAppMainWindow &window, int state, int active)
{
    const QStringList texts{
        "Please set midi port to the setting.", "Serial number isn't being received.",
        "Init Status isn't being received", "Complete : [" + hex(Peer::serial) + "]"};
    QCOMPARE(window.linkStatus(), state);
    QCOMPARE(window.messageLabel()->text(), texts.value(state));
    QVERIFY(window.hardLamp()->styleSheet().contains(state ? "#FFFF33" : "#888888"));
    const bool enabled = state >= TarnAppMainWindow::WaitInitStatus;
    for (int i = 0; i < 6; ++i) {
        const QString color = !enabled ? "#888888" : i == active ? "#FF570D" : "#3B3B3B";
        QCOMPARE(window.presetButton(i)->isEnabled(), enabled);
        QVERIFY2(window.presetButton(i)->styleSheet().contains("background-color:" + color + ";"),
                 qPrintable(QString("button %1 is not %2").arg(i).arg(color)));
    }
}

// Waits without running the event loop: what the library delivers meanwhile
// stays queued for the GUI thread.
bool waitQueued(const std::function<bool()> &condition)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < 5000)
        QThread::msleep(1);
    return condition();
}

} // namespace

// The Qt Test cases of this file; GUI thread.
class TestHardwareLink : public QObject
{
    Q_OBJECT

private slots:
    void replies_data()
    {
        const ByteVector U = Peer::serial, serialReply = reply(U, {0x02, 0x00, 0xF7});
        const ByteVector gmOn{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
        QTest::addColumn<Replies>("replies");
        QTest::addColumn<int>("initAfter");     // the reply after which the init request goes out
        QTest::addColumn<QList<int>>("rounds"); // feedback rounds, by active pad
        QTest::addColumn<int>("state");         // NoPort: no port set
        QTest::addColumn<int>("active");
        using Rounds = QList<int>;
        QTest::newRow("no ports") << Replies{} << -1 << Rounds{} << 0 << -1;
        QTest::newRow("silent unit") << Replies{} << -1 << Rounds{} << 1 << -1;
        QTest::newRow("serial reply") << Replies{serialReply} << 0 << Rounds{} << 2 << -1;
        QTest::newRow("serial reply reporting preset 3")
            << Replies{status(U, 3)} << 0 << Rounds{2} << 3 << 2;
        QTest::newRow("same report twice acts once")
            << Replies{status(U, 3), status(U, 3)} << 0 << Rounds{2} << 3 << 2;
        QTest::newRow("preset byte 00") << Replies{status(U, 0)} << 0 << Rounds{-1} << 3 << -1;
        QTest::newRow("report after an out-of-range one")
            << Replies{status(U, 3), status(U, 0x0A), status(U, 3)} << 0 << Rounds{2, -1, 2} << 3
            << 2;
        QTest::newRow("serial learnt once per connection")
            << Replies{status(U, 3), status(Other, 4)} << 0 << Rounds{2, 3} << 3 << 3;
        QTest::newRow("short SysEx while waiting") << Replies{gmOn} << -1 << Rounds{} << 1 << -1;
        QTest::newRow("short SysEx, then the serial reply")
            << Replies{gmOn, serialReply} << 1 << Rounds{} << 2 << -1;
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
        WindowBench bench(setting);

        QStringList traffic;
        if (state)
            traffic << SerialRequest;
        for (size_t i = 0; i < replies.size(); ++i) {
            unit.send(replies[i]);
            traffic << "Rcv    : " + hex(replies[i]);
            if (int(i) == initAfter)
                traffic << "Send   : " + hex(reply(Peer::serial, {0x02, 0x01, 0xF7}));
        }
        QVERIFY(TestWait::until([&] { return bench.traffic().size() >= traffic.size(); }));
        QCOMPARE(bench.traffic(), traffic);
        const Replies notes = feedback(rounds);
        QVERIFY(pads.waitFor(int(notes.size())));
        QCOMPARE(pads.received(), notes);
        QCOMPARE(bench.log().lines("send message 144").size(), int(notes.size()));
        checkWindow(bench.window(), state, active);
        // Saved as soon as learnt; kept while none is learnt.
        QCOMPARE(WindowBench::read(TarnAppMainWindow::settingFilePath()).value("SerialNumber"),
                 QVariant(state >= 2 ? hex(Peer::serial, "-") : StoredBefore));
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
            window.presetButton(5)->click(); // fails too, inside the open box
            unit.send(status(Peer::serial, 1));
            TestWait::until([&] { return bench.log().lines("Rcv    : ").size() == 2; });
            window.hardOut()->failSendsWith(QString());
            ModalAnswerer::close(box);
        });
        window.hardOut()->failSendsWith("refused");
        // The serial reply reports index 1; its init status request fails.
        unit.send(status(Peer::serial, 2));
        QVERIFY(TestWait::until(
            [&] { return answerer.seen().size() == 1 && !QApplication::activeModalWidget(); }));

        QCOMPARE(answerer.seen(), QStringList{"Midi Hard Send Error: refused"});
        QCOMPARE(bench.log().lines("Midi Hard Send Error: refused").size(), 1);
        // Failed sends write no traffic line.
        QCOMPARE(bench.traffic(),
                 QStringList({SerialRequest, "Rcv    : " + hex(status(Peer::serial, 2)),
                              "Rcv    : " + hex(status(Peer::serial, 1))}));
        QCOMPARE(bench.log().lines("send message 144").size(), 6);
        QVERIFY(pads.waitFor(6));
        QCOMPARE(pads.received(), feedback({0}));
        checkWindow(window, TarnAppMainWindow::Complete, 0);
    }

    void failingFeedbackShowsSixBoxesInTurn()
    {
        Peer unit("h-fail-unit"), pads("h-fail-pads");
        WindowBench bench(WindowBench::ports(&unit, &pads));
        ModalAnswerer answerer;
        bench.window().remoteOut()->failSendsWith("refused");
        unit.send(status(Peer::serial, 3));
        QVERIFY(answerer.waitForSeen(6));
        QCOMPARE(answerer.seen().size(), 6);
        QCOMPARE(answerer.seen().count("Midi Remote Send Error: refused"), 6);
        QVERIFY(bench.log().lines("Midi Remote Send Error").isEmpty());
        QVERIFY(pads.received().empty());
        checkWindow(bench.window(), TarnAppMainWindow::Complete, 2);
    }

    // A report of the unit still queued when the user reconnects is not the
    // serial reply of the connection that follows.
    void replyQueuedBeforeAReconnectIsDropped()
    {
        Peer unit("h-race-unit");
        WindowBench bench(WindowBench::ports(&unit, nullptr));
        unit.send(status(Peer::serial, 3));
        QVERIFY(TestWait::until([&] { return !bench.window().heldSerial().empty(); }));

        unit.send(status(Peer::serial, 5));
        QVERIFY(waitQueued([&] { return bench.log().lines("channel 96").size() == 2; }));
        bench.dialogWidget<QPushButton>("pushGetSerial")->click();
        QVERIFY(jackProbe().waitConnected(unit.out()));
        jackProbe().settle();
        unit.send(reply(Other, {0x02, 0x00, 0xF7})); // the unit now there answers
        QVERIFY(TestWait::until([&] { return !bench.window().heldSerial().empty(); }));
        QCOMPARE(bench.window().heldSerial(), Other);
        QCOMPARE(bench.traffic().filter("Rcv").size(), 2);
    }
};

QTEST_MAIN(TestHardwareLink)
#include "tst_hardwarelink.moc"
