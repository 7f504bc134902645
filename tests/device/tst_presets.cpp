// The pads, the foot switch and the buttons as the unit sees them: which
// messages end in a preset request. One window serves every case, since a
// remote message changes no state of its own. Main thread.

#include "jackprobe.h"
#include "peer.h"
#include "testwait.h"
#include "windowbench.h"

#include <QComboBox>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(ByteVector)

class TestPresets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Made here, so that its capture of the traffic comes after the test log's.
        bench = std::make_unique<WindowBench>(WindowBench::ports(&unit, &pads));
        // The first request may go out in the cycle that makes the connection.
        jackProbe().settle();
        setLinked(true, true);
    }

    // Pads act only while the buttons are enabled, and only at velocity 127;
    // the foot switch (Note On at 0 or Note Off) follows the list as it
    // stands, whatever the link. (A
    // click's request is checked with the keys that click.)
    void requests_data()
    {
        QTest::addColumn<bool>("linked");
        QTest::addColumn<int>("footSwitch"); // the list's position: 0 none, 1 to 6
        QTest::addColumn<ByteVector>("message");
        QTest::addColumn<int>("preset"); // requested, -1 for none
        QTest::newRow("pad 3, channel 10") << true << 0 << ByteVector{0x99, 56, 127} << 2;
        QTest::newRow("velocity 100") << true << 0 << ByteVector{0x90, 56, 100} << -1;
        QTest::newRow("note 53") << true << 0 << ByteVector{0x90, 53, 127} << -1;
        QTest::newRow("note 60") << true << 0 << ByteVector{0x90, 60, 127} << -1;
        QTest::newRow("pad Note Off") << true << 0 << ByteVector{0x80, 56, 127} << -1;
        QTest::newRow("foot switch, none") << true << 0 << ByteVector{0x90, 69, 0} << -1;
        QTest::newRow("foot switch") << true << 3 << ByteVector{0x90, 69, 0} << 2;
        QTest::newRow("foot switch at 127") << true << 3 << ByteVector{0x90, 69, 127} << -1;
        // A Note Off is MIDI's own Note On at velocity 0: bridges send one for the other.
        QTest::newRow("foot switch Note Off") << true << 3 << ByteVector{0x80, 69, 0} << 2;
        QTest::newRow("foot switch Note Off at 64") << true << 3 << ByteVector{0x8F, 69, 64} << 2;
        QTest::newRow("note 70 at 0") << true << 3 << ByteVector{0x90, 70, 0} << -1;
        QTest::newRow("unlinked pad") << false << 4 << ByteVector{0x90, 54, 127} << -1;
        QTest::newRow("unlinked foot switch") << false << 6 << ByteVector{0x95, 69, 0} << 5;
    }
    void requests()
    {
        QFETCH(bool, linked);
        QFETCH(int, footSwitch);
        QFETCH(ByteVector, message);
        QFETCH(int, preset);
        setLinked(linked);
        bench->widget<QComboBox>("comboFootSwitchPreset")->setCurrentIndex(footSwitch);
        unit.clear();
        const ByteVector serial = linked ? Peer::serial : ByteVector();
        std::vector<ByteVector> expected;
        if (preset >= 0)
            expected.push_back(makePresetRequest(serial, static_cast<unsigned char>(preset)));
        // A sentinel behind the message, one that must be answered: a pad
        // while linked, else the foot switch.
        pads.send(message);
        pads.send(linked ? ByteVector{0x90, 59, 127} : ByteVector{0x90, 69, 0});
        expected.push_back(makePresetRequest(serial, linked ? 5 : footSwitch - 1));
        QVERIFY(unit.waitFor(int(expected.size())));
        QCOMPARE(unit.received(), expected);
    }

private:
    // Unlinked: the unit is silent, the window waits for its serial number.
    void setLinked(bool linked, bool again = false)
    {
        HardwareLink &link = bench->window().link();
        const auto complete = [&] {
            return link.hardStatus() == HardwareLink::HardStatus::Complete;
        };
        // Every request answered first: a late answer would be taken for the serial number.
        const auto count = [&](const char *prefix) {
            return bench->traffic().filter(prefix).size();
        };
        if (linked == complete() && !again)
            return;
        QVERIFY(linked || TestWait::until([&] { return count("Rcv") == count("Send"); }));
        unit.unit().setSilent(!linked);
        unit.clear();
        link.requestSerial();
        bench->window().updateStatusDisplay();
        QVERIFY(unit.waitFor(1) && TestWait::until([&] { return complete() == linked; }));
    }

    Peer unit{"h11a-unit", Peer::Unit};
    Peer pads{"h11a-pads"};
    std::unique_ptr<WindowBench> bench;
};

QTEST_MAIN(TestPresets)
#include "tst_presets.moc"
