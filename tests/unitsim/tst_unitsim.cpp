// The simulated unit where the program's full conversation with it
// (tests/e2e) does not go: what it must ignore, and the simulator's serial
// option. Main thread, no MIDI service.

#include "simulatedunit.h"
#include "simulatoroptions.h"

#include <QtTest>

Q_DECLARE_METATYPE(ByteVector)

static const ByteVector serial{0x12, 0x34, 0x56, 0x78, 0x01, 0x02, 0x03, 0x04};

class TestUnitSim : public QObject
{
    Q_OBJECT

private slots:
    // A unit on preset 3; a message of one byte is a preset chosen on its
    // front panel. Catches an answer to another unit or to a preset index out
    // of range, and a panel without preset reported as one.
    void ignored_data()
    {
        QTest::addColumn<ByteVector>("message");
        QTest::addColumn<bool>("answered");
        QTest::addColumn<int>("preset");
        QTest::newRow("preset index 6") << makePresetRequest(serial, 6) << false << 3;
        QTest::newRow("other unit") << makePresetRequest({1, 2, 3, 4, 5, 6, 7, 8}, 1) << false << 3;
        QTest::newRow("note on") << ByteVector{0x90, 0x38, 0x7F} << false << 3;
        QTest::newRow("panel, none") << ByteVector{0} << true << 0;
    }
    void ignored()
    {
        QFETCH(ByteVector, message);
        SimulatedUnit unit(serial);
        unit.choosePreset(3);
        const auto answer =
            message.size() == 1 ? unit.choosePreset(message[0]) : unit.receive(message);
        const HardReply reply = parseHardReply(answer.reply);
        QTEST(!reply.serial.empty(), "answered");
        QCOMPARE(reply.preset, -1);
        QTEST(unit.preset(), "preset");
    }

    // Catches a serial option misread, or a bad one half taken.
    void options()
    {
        SimulatorOptions good, bad;
        QCOMPARE(good.parse({"--serial=0a:0B:00:11:22:33:44:7f"}), SimulatorOptions::Outcome::Run);
        QCOMPARE(toHexString(good.serial, '-'), QString("0A-0B-00-11-22-33-44-7F"));
        QCOMPARE(bad.parse({"--serial", "01-02-03-04-05-06-07-80"}),
                 SimulatorOptions::Outcome::Error);
        QCOMPARE(bad.serial, SimulatorOptions().serial);
    }
};

QTEST_GUILESS_MAIN(TestUnitSim)
#include "tst_unitsim.moc"
