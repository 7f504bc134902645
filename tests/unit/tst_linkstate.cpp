// The link's conversation with the simulated unit over a port pair that
// stands in for the ports, where no MIDI service is: requests confirmed,
// asked again or flagged, the idle check, and the link following its pair.
#include "debugcapture.h"
#include "peer.h"
#include "testwait.h"
#include "unitpair.h"

#include "hardwarelink.h"
#include "portpair.h"
#include "qmidiout.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using Status = HardwareLink::HardStatus;
const QString SerialRequest = "F0 00 11 22 0A 00 00 00 00 02 00 F7";

// The Qt Test cases of this file; GUI thread.
class TestLinkState : public QObject
{
    Q_OBJECT

private slots:
    // Catches a press never confirmed or never flagged, a repeat or a flag
    // when the unit answers in time (late, or once for a burst), repeats with
    // confirmation off, a lost request never asked again or said more than
    // once, an idle check that does not find a silent unit, polling that
    // repeats presses, and a link that does not come back when it answers.
    void conversation_data()
    {
        QTest::addColumn<int>("timeout");      // ConfirmTimeout
        QTest::addColumn<int>("checkSeconds"); // LinkCheckSeconds
        QTest::addColumn<int>("delay");        // the unit answers that late
        QTest::addColumn<int>("drop");         // serial requests lost at first
        QTest::addColumn<bool>("silent");      // from the presses on
        QTest::addColumn<int>("presses");      // of PRESET4
        QTest::addColumn<QStringList>("link");
        QTest::addColumn<int>("serialRequests");
        const QStringList flagged{"Link   : no answer to preset 4, asking again",
                                  "Link   : unit not answering"};
        const QStringList lost{"Link   : no answer to the serial request, asking again"};
        QTest::newRow("150 ms late") << 300 << 0 << 150 << 0 << false << 1 << QStringList() << 1;
        QTest::newRow("ten presses, one answer after the last")
            << 300 << 0 << 0 << 0 << true << 10 << QStringList() << 1;
        QTest::newRow("silent: asked again, then flagged")
            << 300 << 0 << 0 << 0 << true << 1 << flagged << 1;
        QTest::newRow("silent, confirmation off")
            << 0 << 0 << 0 << 0 << true << 1 << QStringList() << 1;
        QTest::newRow("idle check finds a silent unit")
            << 300 << 1 << 0 << 0 << true << 0 << QStringList(flagged.mid(1)) << 1;
        QTest::newRow("serial lost three times") << 300 << 0 << 0 << 3 << false << 0 << lost << 4;
        QTest::newRow("serial lost, confirmation off: asked once")
            << 0 << 0 << 0 << 1 << false << 0 << QStringList() << 1;
    }

    void conversation()
    {
        QFETCH(int, timeout);
        QFETCH(int, delay);
        QFETCH(int, drop);
        QFETCH(bool, silent);
        QFETCH(int, presses);
        QFETCH(QStringList, link);
        DebugCapture debug;
        UnitPair pair;
        HardwareLink hardware(&pair);
        pair.link = &hardware;
        hardware.setConfirmTimeout(timeout);
        QFETCH(int, checkSeconds);
        hardware.setLinkCheckSeconds(checkSeconds);
        pair.unit.choosePreset(2);
        pair.unit.setDelay(delay);
        pair.unit.setDropFirst(drop);
        hardware.requestSerial();
        const bool neverAnswered = !timeout && drop;
        if (neverAnswered) {
            // Nothing to wait for but the time a repeat would take.
            QTest::qWait(2 * HardwareLink::defaultConfirmTimeout + 100);
            QCOMPARE(hardware.hardStatus(), Status::WaitSerial);
        }
        QVERIFY(TestWait::until(
            [&] { return hardware.hardStatus() == Status::Complete || neverAnswered; }));
        QCOMPARE(pair.sent.count(SerialRequest), drop && timeout ? drop + 1 : 1);
        pair.unit.setSilent(silent);
        for (int i = 0; i < presses; ++i)
            hardware.selectPreset(3);
        if (presses > 1)
            QTimer::singleShot(50, &pair, [&] {
                pair.unit.setSilent(false);
                pair.answer(pair.unit.choosePreset(4).reply);
            });
        const Status end = link.contains("Link   : unit not answering") ? Status::NotAnswering
                           : neverAnswered                              ? Status::WaitSerial
                                                                        : Status::Complete;
        QVERIFY(TestWait::until(
            [&] {
                return hardware.hardStatus() == end && hardware.pendingPreset() < 0 &&
                       (link.size() || silent || !presses || hardware.currentPreset() == 3);
            },
            10000));
        QCOMPARE(debug.lines("Link   :"), link);
        const QString request = toHexString(makePresetRequest(Peer::serial, 3), QLatin1Char(' '));
        QCOMPARE(pair.sent.count(request), presses + (link.size() == 2 ? 1 : 0));
        if (end != Status::NotAnswering)
            return;
        // Polled with status requests only, until it answers.
        pair.unit.setSilent(false);
        QVERIFY(TestWait::until([&] { return hardware.hardStatus() == Status::Complete; }));
        QCOMPARE(debug.lines("Link   :"), link + QStringList{"Link   : unit answering again"});
        QCOMPARE(pair.sent.count(request), presses ? 2 : 0);
    }

    // Catches a link that stays connected, or keeps asking, once an end of
    // its pair closes, or does not say so; and a send on a closed port that
    // reaches the service or fails aloud.
    void followsItsPair()
    {
        DebugCapture debug;
        UnitPair pair;
        HardwareLink hardware(&pair);
        pair.link = &hardware;
        hardware.requestSerial();
        QVERIFY(TestWait::until([&] { return hardware.hardStatus() == Status::Complete; }));
        pair.unit.setSilent(true);
        hardware.selectPreset(3);
        QSignalSpy changed(&hardware, &HardwareLink::stateChanged);
        pair.unplug();
        QCOMPARE(hardware.hardStatus(), Status::NoPort);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(hardware.pendingPreset(), -1);
        QTest::qWait(2 * HardwareLink::defaultConfirmTimeout + 100);
        QVERIFY(debug.lines("Link   :").isEmpty());

        // The real pair, never opened: a failing service is not reached.
        PortPair closed("hardware");
        HardwareLink unopened(&closed);
        closed.out()->failSendsWith("the service failed");
        QSignalSpy failed(&unopened, &HardwareLink::sendFailed);
        unopened.selectPreset(0);
        unopened.requestSerial();
        QCOMPARE(failed.count(), 0);
        QCOMPARE(unopened.hardStatus(), Status::NoPort);
    }
};

QTEST_MAIN(TestLinkState)
#include "tst_linkstate.moc"
