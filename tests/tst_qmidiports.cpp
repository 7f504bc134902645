// The input and output port objects against the real RtMidi library on the
// test suite's private JACK server, with MidiPeer clients standing in for the
// devices: port lists, opening, the exact bytes on the wire, delivery of
// incoming messages to the GUI thread, and the diagnostic lines.
#include "debugcapture.h"
#include "midipeer.h"
#include "portopening.h"
#include "qmidiin.h"
#include "qmidimessage.h"
#include "qmidiout.h"
#include "receivedmessages.h"
#include "stdoutcapture.h"
#include "testwait.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QtTest>
#include <RtMidi.h>

using Bytes = std::vector<unsigned char>;
using TestWait::repeatUntilArrived;

namespace {

// Gives a message that was (wrongly) sent a few JACK cycles to arrive.
void settle()
{
    TestWait::runEventLoop(60);
}

} // namespace

class TestQMidiPorts : public QObject
{
    Q_OBJECT
private slots:
    void outputOpensThePortAtEachPosition();
    void outputSendsExactBytes();
    void outputDropsSendsWhileClosed();
    void neverOpenedOutputDoesNotBlock();
    void openPastTheEndThrows();
    void inputOpensByPositionAndName();
    void inputDeliversOnGuiThreadInOrder();
    void inputWritesDiagnosticLines();
    void filtersFollowIgnoreTypes();
};

void TestQMidiPorts::outputOpensThePortAtEachPosition()
{
    MidiPeer a("ports-a", MidiPeer::Input);
    MidiPeer b("ports-b", MidiPeer::Input);
    QMidiOut out;
    const QStringList names = out.portNames();
    QVERIFY2(names.contains(a.inputPortName()), qPrintable(names.join(", ")));
    QVERIFY(names.contains(b.inputPortName()));
    QVERIFY(!out.isPortOpen());

    for (MidiPeer *peer : {&b, &a}) {
        MidiPeer *other = peer == &a ? &b : &a;
        out.openPort(unsigned(out.portNames().indexOf(peer->inputPortName())));
        QVERIFY(out.isPortOpen());
        QVERIFY(peer->waitForInputConnection());
        QCOMPARE(other->inputConnections(), 0);
        QVERIFY(repeatUntilArrived(
            [&] {
                peer->clearReceived();
                other->clearReceived();
                out.sendNoteOn(1, 60, 100);
            },
            [&] { return peer->receivedCount() >= 1; }));
        settle();
        QCOMPARE(peer->received(), (std::vector<Bytes>{{0x90, 0x3C, 0x64}}));
        QCOMPARE(other->receivedCount(), 0);
        out.closePort();
        QVERIFY(!out.isPortOpen());
    }
}

void TestQMidiPorts::outputSendsExactBytes()
{
    MidiPeer peer("ports-bytes", MidiPeer::Input);
    QMidiOut out;
    QVERIFY(PortOpening::openTo(out, peer));
    DebugCapture debug;

    QMidiMessage note;
    note.setStatus(0x90)->setPitch(56)->setVelocity(127);
    QMidiMessage sysex;
    sysex.setStatus(0xF0)->setSysExData({0xF0, 0x01, 0x02, 0x06, 0x02, 0x07});
    const std::vector<Bytes> expected{{0x90, 0x3C, 0x64},
                                      {0x8F, 0x3C, 0x00},
                                      {0x90, 0x38, 0x7F},
                                      {0xF0, 0x01, 0x02, 0x06, 0x02, 0x07, 0xF7},
                                      {0xB3, 0x07, 0x64}};
    QVERIFY(repeatUntilArrived(
        [&] {
            peer.clearReceived();
            debug.clear();
            out.sendNoteOn(1, 60, 100);
            out.sendNoteOff(16, 60, 0);
            out.sendMessage(&note);
            out.sendMessage(&sysex);
            Bytes raw{0xB3, 0x07, 0x64};
            out.sendRawMessage(raw);
        },
        [&] { return peer.receivedCount() >= int(expected.size()); }));
    settle();
    QCOMPARE(peer.received(), expected);
    // One line per message object sent, none for the other sends.
    QCOMPARE(debug.lines("send message"), (QStringList{"send message 144", "send message 240"}));
}

void TestQMidiPorts::outputDropsSendsWhileClosed()
{
    MidiPeer peer("ports-closed", MidiPeer::Input);
    QMidiOut out;
    QMidiMessage sysex;
    sysex.setStatus(0xF0)->setSysExData({0xF0, 0x7D, 0x01, 0xF7});

    // Sent before the port opens: dropped, not kept for later.
    out.sendNoteOn(1, 1, 1);
    out.sendMessage(&sysex);
    QVERIFY(PortOpening::openTo(out, peer));
    settle();
    QCOMPARE(peer.receivedCount(), 0);

    QVERIFY(repeatUntilArrived(
        [&] {
            peer.clearReceived();
            out.sendNoteOn(1, 2, 2);
        },
        [&] { return peer.receivedCount() >= 1; }));
    // (Closing at once could drop it inside the library, before its cycle.)
    out.closePort();
    QVERIFY(!out.isPortOpen());
    out.sendNoteOn(1, 3, 3);
    out.sendMessage(&sysex);

    settle();
    QCOMPARE(peer.received(), (std::vector<Bytes>{{0x90, 0x02, 0x02}}));
}

void TestQMidiPorts::neverOpenedOutputDoesNotBlock()
{
    // The library would queue these where nothing takes them away, and wait
    // forever once its queue is full.
    QMidiOut out;
    QMidiMessage sysex;
    std::vector<unsigned char> data(32, 0x11);
    data.front() = 0xF0;
    sysex.setStatus(0xF0)->setSysExData(data);
    DebugCapture debug;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 5000; ++i)
        out.sendMessage(&sysex);
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(!out.isPortOpen());
}

void TestQMidiPorts::openPastTheEndThrows()
{
    QMidiOut out;
    const unsigned outCount = unsigned(out.portNames().size());
    QVERIFY_EXCEPTION_THROWN(out.openPort(outCount + 5), RtMidiError);
    QVERIFY(!out.isPortOpen());

    QMidiIn in;
    const unsigned inCount = unsigned(in.portNames().size());
    try {
        in.openPort(inCount);
        QFAIL("no RtMidiError");
    } catch (const RtMidiError &error) {
        QVERIFY(!error.getMessage().empty());
    }
    QVERIFY(!in.isPortOpen());
}

void TestQMidiPorts::inputOpensByPositionAndName()
{
    MidiPeer a("ports-in-a", MidiPeer::Output);
    MidiPeer b("ports-in-b", MidiPeer::Output);
    QMidiIn in;
    ReceivedMessages got(&in);

    in.openPort(QStringLiteral("no such port:anywhere"));
    QVERIFY(!in.isPortOpen());
    in.openPort(a.outputPortName().toUpper());
    QVERIFY(!in.isPortOpen());

    in.openPort(b.outputPortName());
    QVERIFY(in.isPortOpen());
    QVERIFY(TestWait::until([&] { return b.outputConnections() == 1; }));
    QCOMPARE(a.outputConnections(), 0);
    QVERIFY(repeatUntilArrived(
        [&] {
            got.clear();
            b.send({0x90, 0x40, 0x01});
        },
        [&] { return got.count() >= 1; }));
    in.closePort();
    QVERIFY(!in.isPortOpen());

    QVERIFY(PortOpening::openFrom(in, a));
    QCOMPARE(b.outputConnections(), 0);
    QVERIFY(repeatUntilArrived(
        [&] {
            got.clear();
            a.send({0x90, 0x41, 0x02});
        },
        [&] { return got.count() >= 1; }));
    settle();
    QCOMPARE(got.count(), 1);
    QCOMPARE(got.entries()[0].pitch, 0x41);
}

void TestQMidiPorts::inputDeliversOnGuiThreadInOrder()
{
    MidiPeer peer("ports-order", MidiPeer::Output);
    QMidiIn in;
    ReceivedMessages got(&in);
    QVERIFY(PortOpening::openFrom(in, peer));

    QVERIFY(repeatUntilArrived(
        [&] {
            got.clear();
            peer.send({0x91, 0x40, 0x7F});
            peer.sendNow({0x90, 0x3C, 0x00});
            peer.sendNow({0x85, 0x3C, 0x40});
            peer.sendNow({0xB2, 0x07, 0x64});
        },
        [&] { return got.count() >= 4; }));
    settle();
    const auto e = got.entries();
    QCOMPARE(e.size(), 4);
    for (const auto &entry : e) {
        QVERIFY(entry.onGuiThread);
        QVERIFY(entry.ownedByNobody);
    }
    QCOMPARE((QVector<int>{e[0].status, e[0].channel, e[0].pitch, e[0].velocity}),
             (QVector<int>{0x90, 2, 64, 127}));
    // A Note On with velocity 0 stays a Note On.
    QCOMPARE((QVector<int>{e[1].status, e[1].channel, e[1].pitch, e[1].velocity}),
             (QVector<int>{0x90, 1, 60, 0}));
    QCOMPARE((QVector<int>{e[2].status, e[2].channel, e[2].pitch, e[2].velocity}),
             (QVector<int>{0x80, 6, 60, 64}));
    QCOMPARE((QVector<int>{e[3].status, e[3].channel, e[3].control, e[3].value}),
             (QVector<int>{0xB0, 3, 7, 100}));
}

void TestQMidiPorts::inputWritesDiagnosticLines()
{
    MidiPeer peer("ports-lines", MidiPeer::Output);
    QMidiIn in;
    in.ignoreTypes(false, true, true);
    ReceivedMessages got(&in);
    QVERIFY(PortOpening::openFrom(in, peer));
    DebugCapture debug;
    StdoutCapture out;

    QVERIFY(repeatUntilArrived(
        [&] {
            got.clear();
            debug.clear();
            out.clear();
            peer.send({0x90, 0x3C, 0x64});
            TestWait::runEventLoop(200);
            peer.sendNow({0x80, 0x3C, 0x00});
            peer.sendNow({0xF0, 0x7E, 0x00, 0xF7});
        },
        [&] { return got.count() >= 3; }));
    settle();

    QCOMPARE(debug.lines("channel"), (QStringList{"channel 0", "channel -16", "channel 96"}));
    const QStringList lines = out.lines();
    QCOMPARE(lines.size(), 3);
    const QString number = QStringLiteral("(-?[0-9.]+(?:e[-+]?[0-9]+)?)");
    const QRegularExpression noteOn("^Byte 0 = 144, Byte 1 = 60, Byte 2 = 100, stamp = " + number +
                                    "$");
    const QRegularExpression noteOff("^Byte 0 = 128, Byte 1 = 60, Byte 2 = 0, stamp = " + number +
                                     "$");
    const QRegularExpression sysex("^Byte 0 = 240, Byte 1 = 126, Byte 2 = 0, Byte 3 = 247, "
                                   "stamp = " +
                                   number + "$");
    QVERIFY2(noteOn.match(lines[0]).hasMatch(), qPrintable(lines[0]));
    const QRegularExpressionMatch off = noteOff.match(lines[1]);
    QVERIFY2(off.hasMatch(), qPrintable(lines[1]));
    QVERIFY2(sysex.match(lines[2]).hasMatch(), qPrintable(lines[2]));

    // The line gives the library's delta time in seconds; the message keeps
    // it in milliseconds.
    const double seconds = off.captured(1).toDouble();
    QVERIFY2(seconds > 0.1 && seconds < 2.0, qPrintable(lines[1]));
    QVERIFY(qAbs(got.entries()[1].timeStamp - seconds * 1000.0) < 0.01);
    QCOMPARE(got.entries()[2].sysExData, (Bytes{0xF0, 0x7E, 0x00, 0xF7}));
}

void TestQMidiPorts::filtersFollowIgnoreTypes()
{
    MidiPeer peer("ports-filter", MidiPeer::Output);
    QMidiIn hard;   // lets SysEx through, as the hardware input does
    QMidiIn remote; // keeps the library's default: drops all three kinds
    QMidiIn timing; // lets timing and sensing through, drops SysEx
    hard.ignoreTypes(false, true, true);
    timing.ignoreTypes(true, false, false);
    ReceivedMessages gotHard(&hard), gotRemote(&remote), gotTiming(&timing);
    QVERIFY(PortOpening::openFrom(hard, peer));
    QVERIFY(PortOpening::openFrom(remote, peer));
    QVERIFY(PortOpening::openFrom(timing, peer));

    const Bytes reply{0xF0, 1, 2, 3, 4, 5, 6, 7, 8, 0x01, 0x03, 0xF7};
    QVERIFY(repeatUntilArrived(
        [&] {
            gotHard.clear();
            gotRemote.clear();
            gotTiming.clear();
            peer.send({0xF8});
            peer.sendNow({0xFE});
            peer.sendNow({0xF1, 0x20});
            peer.sendNow(reply);
            peer.sendNow({0x90, 0x36, 0x7F});
        },
        [&] { return gotHard.count() >= 2 && gotRemote.count() >= 1 && gotTiming.count() >= 4; }));
    settle();

    QCOMPARE(gotHard.count(), 2);
    QCOMPARE(gotHard.entries()[0].status, 0xF0);
    QCOMPARE(gotHard.entries()[0].channel, 0);
    QCOMPARE(gotHard.entries()[0].sysExData, reply);
    QCOMPARE(gotHard.entries()[1].status, 0x90);
    QCOMPARE(gotRemote.count(), 1);
    QCOMPARE(gotRemote.entries()[0].status, 0x90);
    QCOMPARE(gotTiming.count(), 4);
    QCOMPARE((QVector<int>{gotTiming.entries()[0].status, gotTiming.entries()[1].status,
                           gotTiming.entries()[2].status, gotTiming.entries()[3].status}),
             (QVector<int>{0xF8, 0xFE, 0xF1, 0x90}));
}

QTEST_GUILESS_MAIN(TestQMidiPorts)
#include "tst_qmidiports.moc"
