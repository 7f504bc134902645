// The simulated unit's replies as the program decodes them, its front panel,
// the pad lamps and the command line. Main thread, no MIDI service.

#include "simulatedpads.h"
#include "simulatedunit.h"
#include "simulatoroptions.h"

#include <QtTest>

Q_DECLARE_METATYPE(ByteVector)

static const ByteVector serial{0x12, 0x34, 0x56, 0x78, 0x01, 0x02, 0x03, 0x04};

class TestUnitSim : public QObject
{
    Q_OBJECT

private slots:
    // What a unit on preset 3 answers, as the program reads it (-3: nothing,
    // -2: a reply that is no status), and its preset afterwards; a message of
    // one byte is that preset chosen on the front panel, which reports unasked.
    // Catches an answer to what must be ignored, a serial reply taken for a
    // status, and a silent unit that speaks.
    void replies_data()
    {
        QTest::addColumn<ByteVector>("message");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<int>("reply");
        QTest::addColumn<int>("preset");
        const ByteVector other{0x12, 0x34, 0x56, 0x78, 0x01, 0x02, 0x03, 0x05};
        QTest::newRow("serial") << makeSerialRequest() << false << -2 << 3;
        QTest::newRow("init status") << makeInitStatusRequest(serial) << false << 2 << 3;
        QTest::newRow("preset 6") << makePresetRequest(serial, 5) << false << 5 << 6;
        QTest::newRow("preset index 6") << makePresetRequest(serial, 6) << false << -3 << 3;
        QTest::newRow("other unit") << makePresetRequest(other, 1) << false << -3 << 3;
        QTest::newRow("note on") << ByteVector{0x90, 0x38, 0x7F} << false << -3 << 3;
        QTest::newRow("silent") << makeSerialRequest() << true << -3 << 3;
        QTest::newRow("panel 6") << ByteVector{6} << false << 5 << 6;
        QTest::newRow("panel, none") << ByteVector{0} << false << -1 << 0;
        QTest::newRow("panel, silent") << ByteVector{2} << true << -3 << 2;
    }
    void replies()
    {
        QFETCH(ByteVector, message);
        QFETCH(bool, silent);
        SimulatedUnit unit(serial);
        unit.choosePreset(3);
        unit.setSilent(silent);
        const auto answer =
            message.size() == 1 ? unit.choosePreset(message[0]) : unit.receive(message);
        const HardReply reply = parseHardReply(answer.reply);
        QTEST(reply.serial.empty() ? -3 : reply.isStatus ? reply.preset : -2, "reply");
        QTEST(unit.preset(), "preset");
    }

    // Lamps follow feedback notes only.
    void lamps()
    {
        SimulatedPads pads;
        for (unsigned char note : {56, 53, 60})
            pads.receive({0x90, note, 127});
        pads.receive({0xB0, 55, 127});
        for (int pad = 0; pad < SimulatedPads::padCount; ++pad)
            QCOMPARE(pads.isLit(pad), pad == 2);
    }

    // A rejected serial number leaves the default one.
    void options()
    {
        using Outcome = SimulatorOptions::Outcome;
        SimulatorOptions good, bad;
        QCOMPARE(good.parse({"--serial=0a:0B:00:11:22:33:44:7f"}), Outcome::Run);
        QCOMPARE(toHexString(good.serial, '-'), QString("0A-0B-00-11-22-33-44-7F"));
        QCOMPARE(bad.parse({"--serial", "01-02-03-04-05-06-07-80"}), Outcome::Error);
        QCOMPARE(bad.serial, SimulatorOptions().serial);
        QCOMPARE(bad.parse({"--serial=01-02-03-04-05-06-07"}), Outcome::Error);
        QCOMPARE(bad.parse({"--help", "--bogus"}), Outcome::Help);
    }
};

QTEST_GUILESS_MAIN(TestUnitSim)
#include "tst_unitsim.moc"
