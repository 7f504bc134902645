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
    // Catches a press never shown apart while it waits, a flag that leaves
    // the last confirmed preset or the lamp as they were, and a window that
    // does not show the unit back when it answers again (the conversation
    // itself: tst_linkstate).
    void confirmation_data()
    {
        QTest::addColumn<bool>("silent"); // while PRESET4 is pressed
        QTest::addColumn<QStringList>("link");
        QTest::newRow("answered") << false << QStringList();
        QTest::newRow("silent: asked again, then flagged")
            << true
            << QStringList{"Link   : no answer to preset 4, asking again",
                           "Link   : unit not answering"};
    }

    void confirmation()
    {
        QFETCH(bool, silent);
        QFETCH(QStringList, link);
        Peer unit("h-confirm-unit", Peer::Unit);
        unit.unit().choosePreset(2);
        WindowBench bench(WindowBench::ports(&unit, nullptr));
        const HardwareLink &hardware = bench.window().link();
        using Status = HardwareLink::HardStatus;
        QVERIFY(TestWait::until([&] { return hardware.hardStatus() == Status::Complete; }));
        const QString active = bench.presetButton(1)->styleSheet();
        const QString plain = bench.presetButton(0)->styleSheet();
        const QString lamp = bench.widget<QLabel>("labelHardLamp")->styleSheet();
        unit.unit().setSilent(silent);
        bench.log().clear();

        bench.presetButton(3)->click();
        // Asked for, not yet confirmed: neither idle nor active.
        const QString pending = bench.presetButton(3)->styleSheet();
        QVERIFY(pending != plain && pending != active);
        const Status end = silent ? Status::NotAnswering : Status::Complete;
        QVERIFY(TestWait::until(
            [&] {
                return hardware.hardStatus() == end && hardware.pendingPreset() < 0 &&
                       (silent || hardware.currentPreset() == 3);
            },
            10000));
        QCOMPARE(bench.log().lines("Link   :"), link);
        const QString request = "Send   : " + hex(makePresetRequest(Peer::serial, 3));
        QCOMPARE(bench.traffic().count(request), silent ? 2 : 1);
        QVERIFY(bench.presetButton(3)->isEnabled());
        if (!silent) {
            QCOMPARE(bench.presetButton(3)->styleSheet(), active);
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
    }

    // Catches a lost serial request that leaves the link waiting after a
    // return of the unit, a repeat's late answer taken twice, and lamps lit
    // more than once (the counting of repeats: tst_linkstate).
    void lostRequestAfterAReturn()
    {
        Peer unit("h-lost-unit", Peer::Unit), pads("h-lost-pads", Peer::Pads);
        unit.unit().setDropFirst(1);
        WindowBench bench(WindowBench::ports(&unit, &pads));
        const HardwareLink &link = bench.window().link();
        using Status = HardwareLink::HardStatus;
        QVERIFY(TestWait::until([&] { return link.hardStatus() == Status::Complete; }));
        unit.unplug();
        QVERIFY(TestWait::until([&] { return link.hardStatus() == Status::NoPort; }));
        bench.log().clear();
        pads.clear();
        unit.plug();
        QVERIFY(TestWait::until([&] { return link.hardStatus() == Status::Complete; }));
        QCOMPARE(bench.traffic().count(SerialRequest), 2);
        QCOMPARE(bench.log().lines("Link   :").size(), 1);
        QCOMPARE(bench.traffic().count("Send   : " + hex(makeInitStatusRequest(Peer::serial))), 1);
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
