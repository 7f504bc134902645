// The unit's answers as the link waits for them: preset requests confirmed
// or flagged, serial and status requests asked again when lost, the unit
// taken back when it answers, and the check before the gig, through the
// simulated unit.
#include "peer.h"
#include "testwait.h"
#include "windowbench.h"

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

const QString SerialRequest = "Send   : F0 00 11 22 0A 00 00 00 00 02 00 F7";

static QString hex(const ByteVector &bytes)
{
    return toHexString(bytes, QLatin1Char(' '));
}

// The Qt Test cases of this file; GUI thread.
class TestLinkConfirm : public QObject
{
    Q_OBJECT

private slots:
    // Catches a press never confirmed or never flagged, a repeat or a flag
    // when the unit answers in time (late, or once for a burst), an idle
    // check that does not find a silent unit, and a link that does not come
    // back when the unit answers again.
    void confirmation_data()
    {
        QTest::addColumn<int>("timeout");      // ConfirmTimeout
        QTest::addColumn<int>("checkSeconds"); // LinkCheckSeconds
        QTest::addColumn<int>("delay");        // the unit answers that late
        QTest::addColumn<bool>("silent");      // while PRESET4 is pressed
        QTest::addColumn<int>("presses");
        QTest::addColumn<bool>("answerOnce"); // one status reply after the last press
        QTest::addColumn<QStringList>("link");
        const QStringList flagged{"Link   : no answer to preset 4, asking again",
                                  "Link   : unit not answering"};
        QTest::newRow("answered") << 300 << 0 << 0 << false << 1 << false << QStringList();
        QTest::newRow("150 ms late") << 300 << 0 << 150 << false << 1 << false << QStringList();
        QTest::newRow("ten presses, one answer after the last")
            << 300 << 0 << 0 << true << 10 << true << QStringList();
        QTest::newRow("silent: asked again, then flagged")
            << 300 << 0 << 0 << true << 1 << false << flagged;
        QTest::newRow("silent, confirmation off")
            << 0 << 0 << 0 << true << 1 << false << QStringList();
        QTest::newRow("idle check finds a silent unit")
            << 300 << 1 << 0 << true << 0 << false << QStringList(flagged.mid(1));
    }

    void confirmation()
    {
        QFETCH(int, timeout);
        QFETCH(int, checkSeconds);
        QFETCH(int, delay);
        QFETCH(bool, silent);
        QFETCH(int, presses);
        QFETCH(bool, answerOnce);
        QFETCH(QStringList, link);
        Peer unit("h-confirm-unit", Peer::Unit);
        unit.unit().choosePreset(2);
        unit.unit().setDelay(delay);
        QVariantMap setting = WindowBench::ports(&unit, nullptr);
        setting["ConfirmTimeout"] = timeout;
        setting["LinkCheckSeconds"] = checkSeconds;
        WindowBench bench(setting);
        const HardwareLink &hardware = bench.window().link();
        using Status = HardwareLink::HardStatus;
        QVERIFY(TestWait::until([&] { return hardware.hardStatus() == Status::Complete; }));
        const QString active = bench.presetButton(1)->styleSheet();
        const QString plain = bench.presetButton(0)->styleSheet();
        const QString lamp = bench.widget<QLabel>("labelHardLamp")->styleSheet();
        unit.unit().setSilent(silent);
        bench.log().clear();

        for (int i = 0; i < presses; ++i)
            bench.presetButton(3)->click();
        if (presses && timeout) {
            // Asked for, not yet confirmed: neither idle nor active.
            const QString pending = bench.presetButton(3)->styleSheet();
            QVERIFY(pending != plain && pending != active);
        }
        if (answerOnce)
            QTimer::singleShot(50, &unit, [&] {
                unit.unit().setSilent(false);
                unit.send(unit.unit().choosePreset(4).reply);
            });
        const Status end = link.isEmpty() ? Status::Complete : Status::NotAnswering;
        QVERIFY(TestWait::until(
            [&] {
                return hardware.hardStatus() == end && hardware.pendingPreset() < 0 &&
                       (link.size() || !presses || !timeout || hardware.currentPreset() == 3);
            },
            10000));
        QCOMPARE(bench.log().lines("Link   :"), link);
        const QString request = "Send   : " + hex(makePresetRequest(Peer::serial, 3));
        QCOMPARE(bench.traffic().count(request), presses + (link.size() == 2 ? 1 : 0));
        QVERIFY(bench.presetButton(3)->isEnabled());
        if (end == Status::Complete) {
            const bool answered = presses && (!silent || answerOnce);
            QCOMPARE(bench.presetButton(3)->styleSheet(), answered ? active : plain);
            return;
        }
        // Flagged: a lamp of its own, the last confirmed preset kept.
        const QString flaggedLamp = bench.widget<QLabel>("labelHardLamp")->styleSheet();
        QVERIFY(flaggedLamp != lamp && flaggedLamp != plain);
        QVERIFY(bench.widget<QLabel>("labelMessage")->text().contains("not answering"));
        QCOMPARE(bench.presetButton(1)->styleSheet(), active);
        QCOMPARE(bench.presetButton(3)->styleSheet(), plain);

        unit.unit().setSilent(false);
        QVERIFY(TestWait::until([&] { return hardware.hardStatus() == Status::Complete; }));
        QCOMPARE(bench.log().lines("Link   :"),
                 link + QStringList{"Link   : unit answering again"});
        QCOMPARE(bench.widget<QLabel>("labelHardLamp")->styleSheet(), lamp);
        QCOMPARE(bench.presetButton(1)->styleSheet(), active);
        // Polled once a second, nothing else: no preset request went out again.
        QCOMPARE(bench.traffic().count(request), presses ? 2 : 0);
    }

    // Catches a lost serial or status request that leaves the link waiting
    // for ever, a repeat said more than once per episode, a repeat's late
    // answer taken twice, and repeats with confirmation off.
    void lostRequests_data()
    {
        QTest::addColumn<int>("timeout");
        QTest::addColumn<int>("drop");  // requests the unit loses after each opening
        QTest::addColumn<bool>("back"); // after a return of the unit rather than at start
        QTest::addColumn<int>("serialRequests");
        const QStringList asked{"Link   : no answer to the serial request, asking again"};
        QTest::newRow("answered at once") << 300 << 0 << false << 1;
        QTest::newRow("lost at start") << 300 << 1 << false << 2;
        QTest::newRow("lost three times") << 300 << 3 << false << 4;
        QTest::newRow("lost after a return") << 300 << 1 << true << 2;
        QTest::newRow("confirmation off: asked once") << 0 << 1 << false << 1;
    }

    void lostRequests()
    {
        QFETCH(int, timeout);
        QFETCH(int, drop);
        QFETCH(bool, back);
        QFETCH(int, serialRequests);
        Peer unit("h-lost-unit", Peer::Unit), pads("h-lost-pads", Peer::Pads);
        unit.unit().setDropFirst(drop);
        QVariantMap setting = WindowBench::ports(&unit, &pads);
        setting["ConfirmTimeout"] = timeout;
        WindowBench bench(setting);
        const HardwareLink &link = bench.window().link();
        using Status = HardwareLink::HardStatus;
        if (back) {
            QVERIFY(TestWait::until([&] { return link.hardStatus() == Status::Complete; }));
            unit.unplug();
            QVERIFY(TestWait::until([&] { return link.hardStatus() == Status::NoPort; }));
            bench.log().clear();
            pads.clear();
            unit.plug();
        }
        if (!timeout) {
            // Nothing to wait for but the time a repeat would take.
            QTest::qWait(2 * AppSetting::defaultConfirmTimeout + 100);
            QCOMPARE(link.hardStatus(), Status::WaitSerial);
        }
        QVERIFY(TestWait::until([&] { return link.hardStatus() == Status::Complete || !timeout; }));
        QCOMPARE(bench.traffic().count(SerialRequest), serialRequests);
        if (!timeout)
            return;
        QCOMPARE(bench.log().lines("Link   :").size(), drop ? 1 : 0);
        QCOMPARE(bench.traffic().count("Send   : " + hex(makeInitStatusRequest(Peer::serial))), 1);
        // The lamps lit once.
        QVERIFY(pads.waitFor(6));
        QCOMPARE(pads.received().size(), size_t(6));
    }

    // Catches a test that steps wrongly, reports no times, or runs while the
    // unit cannot answer.
    void testTheUnit_data()
    {
        QTest::addColumn<bool>("connected");
        QTest::addColumn<QString>("lines"); // the result, as a pattern
        const QString step = "Preset %1: confirmed in \\d+ ms\n";
        QString all;
        for (int preset : {1, 2, 3, 4, 5, 6, 2})
            all += step.arg(preset);
        QTest::newRow("complete") << true << all + "The unit answered every request.";
        QTest::newRow("no unit") << false << "The test needs a unit that answers.*";
    }

    void testTheUnit()
    {
        QFETCH(bool, connected);
        QFETCH(QString, lines);
        Peer unit("h-test-unit", Peer::Unit);
        unit.unit().choosePreset(2);
        WindowBench bench(connected ? WindowBench::ports(&unit, nullptr) : QVariantMap());
        const HardwareLink &link = bench.window().link();
        QVERIFY(TestWait::until(
            [&] { return !connected || link.hardStatus() == HardwareLink::HardStatus::Complete; }));
        bench.widget<QPushButton>("pushTestUnit")->click();
        QVERIFY(TestWait::until(
            [&] { return bench.log().lines("Test   :").size() >= 1 + 7 * connected; }));
        const QString shown = bench.widget<QLabel>("labelUnitTest")->text();
        QVERIFY2(QRegularExpression("^" + lines + "$").match(shown).hasMatch(), qPrintable(shown));
        QCOMPARE(unit.unit().preset(), 2);
    }
};

QTEST_MAIN(TestLinkConfirm)
#include "tst_linkconfirm.moc"
