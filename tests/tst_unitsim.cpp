// Tests of the unit simulator's pure parts: the unit's replies, the pad lamps and the command
// line. Runs on the test's main thread; no MIDI service needed.

#include "hardmessages.h"
#include "simulatedpads.h"
#include "simulatedunit.h"
#include "simulatoroptions.h"

#include <QtTest>

Q_DECLARE_METATYPE(ByteVector)

namespace {

const ByteVector serial{0x12, 0x34, 0x56, 0x78, 0x01, 0x02, 0x03, 0x04};

QString hex(const ByteVector &bytes)
{
    return toHexString(bytes, QLatin1Char(' '));
}

} // namespace

// The test cases; main thread.
class TestUnitSim : public QObject
{
    Q_OBJECT

private slots:
    void serialReplyIsNotAStatusReply();
    void conversationWithTheProgram();
    void presetRequestOutOfRangeIsIgnored();
    void foreignAndUnknownMessagesAreIgnored_data();
    void foreignAndUnknownMessagesAreIgnored();
    void silentUnitSendsNothing();
    void frontPanel();
    void padLamps();
    void padMessages();
    void serialOption_data();
    void serialOption();
    void commandLine();
};

void TestUnitSim::serialReplyIsNotAStatusReply()
{
    SimulatedUnit unit(serial);
    const SimulatedUnit::Answer answer = unit.receive(makeSerialRequest());
    QCOMPARE(hex(answer.reply), QString("F0 12 34 56 78 01 02 03 04 02 00 F7"));
    // The program must learn the serial number and still wait for a real status reply.
    const HardReply decoded = parseHardReply(answer.reply);
    QCOMPARE(decoded.serial, serial);
    QVERIFY(!decoded.isStatus);
}

void TestUnitSim::conversationWithTheProgram()
{
    SimulatedUnit unit(serial);
    QCOMPARE(hex(unit.receive(makeInitStatusRequest(serial)).reply),
             QString("F0 12 34 56 78 01 02 03 04 01 00 F7"));
    QCOMPARE(parseHardReply(unit.statusReply()).preset, -1);

    for (unsigned char index = 0; index < 6; ++index) {
        const ByteVector reply = unit.receive(makePresetRequest(serial, index)).reply;
        QCOMPARE(unit.preset(), index + 1);
        const HardReply decoded = parseHardReply(reply);
        QVERIFY(decoded.isStatus);
        QCOMPARE(decoded.preset, int(index));
        QCOMPARE(decoded.serial, serial);
    }
    QCOMPARE(hex(unit.receive(makeInitStatusRequest(serial)).reply),
             QString("F0 12 34 56 78 01 02 03 04 01 06 F7"));
    QCOMPARE(unit.receive(makePresetRequest(serial, 2)).note,
             std::string("unit: preset request, preset 3"));
}

void TestUnitSim::presetRequestOutOfRangeIsIgnored()
{
    SimulatedUnit unit(serial);
    unit.receive(makePresetRequest(serial, 1));
    const SimulatedUnit::Answer answer = unit.receive(makePresetRequest(serial, 6));
    QVERIFY(answer.reply.empty());
    QCOMPARE(unit.preset(), 2);
    QCOMPARE(answer.note, std::string("unit: ignored preset request for index 6 (only 0 to 5)"));
}

void TestUnitSim::foreignAndUnknownMessagesAreIgnored_data()
{
    QTest::addColumn<ByteVector>("message");
    QTest::addColumn<QString>("note");
    const ByteVector other{0x12, 0x34, 0x56, 0x78, 0x01, 0x02, 0x03, 0x05};
    const QString otherNote = "for serial 12 34 56 78 01 02 03 05 (this unit is 12 34 56 78 01 "
                              "02 03 04)";
    QTest::newRow("init status, other serial")
        << makeInitStatusRequest(other) << "unit: ignored init status request " + otherNote;
    QTest::newRow("preset, other serial")
        << makePresetRequest(other, 2) << "unit: ignored preset request " + otherNote;
    const QString notARequest = "unit: ignored, not a request";
    QTest::newRow("init status, no serial") << makeInitStatusRequest({}) << notARequest;
    QTest::newRow("preset, no serial") << makePresetRequest({}, 0) << notARequest;
    ByteVector truncated = makeSerialRequest();
    truncated.pop_back();
    QTest::newRow("serial request without F7") << truncated << notARequest;
    ByteVector wrongCode = makeInitStatusRequest(serial);
    wrongCode[10] = 0x02;
    QTest::newRow("unknown request code") << wrongCode << notARequest;
    ByteVector wrongFixed = makePresetRequest(serial, 0);
    wrongFixed[12] = 0x08;
    QTest::newRow("preset request without 07") << wrongFixed << notARequest;
    QTest::newRow("status reply echoed") << SimulatedUnit(serial).statusReply() << notARequest;
    QTest::newRow("note on") << ByteVector{0x90, 0x38, 0x7F} << notARequest;
}

void TestUnitSim::foreignAndUnknownMessagesAreIgnored()
{
    QFETCH(ByteVector, message);
    QFETCH(QString, note);
    SimulatedUnit unit(serial);
    unit.choosePreset(4);
    const SimulatedUnit::Answer answer = unit.receive(message);
    QVERIFY(answer.reply.empty());
    QCOMPARE(QString::fromStdString(answer.note), note);
    QCOMPARE(unit.preset(), 4);
}

void TestUnitSim::silentUnitSendsNothing()
{
    SimulatedUnit unit(serial);
    unit.setSilent(true);
    QVERIFY(unit.receive(makeSerialRequest()).reply.empty());
    QVERIFY(unit.receive(makeInitStatusRequest(serial)).reply.empty());
    // Deaf as well as mute: a request does not switch the preset.
    QVERIFY(unit.receive(makePresetRequest(serial, 3)).reply.empty());
    QCOMPARE(unit.preset(), 0);
    // The front panel still works, but nothing goes out.
    QVERIFY(unit.choosePreset(5).reply.empty());
    QCOMPARE(unit.preset(), 5);
    unit.setSilent(false);
    QCOMPARE(hex(unit.receive(makeSerialRequest()).reply),
             QString("F0 12 34 56 78 01 02 03 04 02 00 F7"));
    QCOMPARE(hex(unit.receive(makeInitStatusRequest(serial)).reply),
             QString("F0 12 34 56 78 01 02 03 04 01 05 F7"));
}

void TestUnitSim::frontPanel()
{
    SimulatedUnit unit({0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08});
    SimulatedUnit::Answer answer = unit.choosePreset(6);
    QCOMPARE(hex(answer.reply), QString("F0 01 02 03 04 05 06 07 08 01 06 F7"));
    QCOMPARE(answer.note, std::string("unit: front panel, preset 6"));
    answer = unit.choosePreset(0);
    QCOMPARE(hex(answer.reply), QString("F0 01 02 03 04 05 06 07 08 01 00 F7"));
    QCOMPARE(answer.note, std::string("unit: front panel, no preset"));
    QVERIFY(unit.choosePreset(7).reply.empty());
    QVERIFY(unit.choosePreset(-1).reply.empty());
    QCOMPARE(unit.preset(), 0);
}

void TestUnitSim::padLamps()
{
    SimulatedPads pads;
    QCOMPARE(pads.lampRow(), std::string("pads: [ ] [ ] [ ] [ ] [ ] [ ]"));
    // The program's feedback for preset 3: six notes, only 56 at 127.
    for (unsigned char note = 54; note <= 59; ++note)
        QVERIFY(pads.receive({0x90, note, static_cast<unsigned char>(note == 56 ? 127 : 0)}));
    QCOMPARE(pads.lampRow(), std::string("pads: [ ] [ ] [#] [ ] [ ] [ ]"));
    QVERIFY(pads.receive({0x9A, 59, 127})); // any channel
    QVERIFY(pads.receive({0x80, 56, 64}));  // note off
    QCOMPARE(pads.lampRow(), std::string("pads: [ ] [ ] [ ] [ ] [ ] [#]"));
    QVERIFY(!pads.receive({0x90, 53, 127}));
    QVERIFY(!pads.receive({0x90, 60, 127}));
    QVERIFY(!pads.receive({0xB0, 54, 127}));
    QVERIFY(!pads.receive({0x90, 54}));
    QCOMPARE(pads.lampRow(), std::string("pads: [ ] [ ] [ ] [ ] [ ] [#]"));
}

void TestUnitSim::padMessages()
{
    QCOMPARE(hex(SimulatedPads::padPress(1)), QString("90 36 7F"));
    QCOMPARE(hex(SimulatedPads::padPress(6)), QString("90 3B 7F"));
    QCOMPARE(hex(SimulatedPads::footSwitch()), QString("90 45 00"));
}

void TestUnitSim::serialOption_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("parsed"); // empty when rejected
    QTest::newRow("dashes") << "01-02-03-04-05-06-07-08"
                            << "01 02 03 04 05 06 07 08";
    QTest::newRow("spaces, lower case") << "7f 0a 0B 00 11 22 33 44"
                                        << "7F 0A 0B 00 11 22 33 44";
    QTest::newRow("colons") << "12:34:56:78:01:02:03:04"
                            << "12 34 56 78 01 02 03 04";
    QTest::newRow("byte 80") << "01-02-03-04-05-06-07-80"
                             << "";
    QTest::newRow("seven bytes") << "01-02-03-04-05-06-07"
                                 << "";
    QTest::newRow("nine bytes") << "01-02-03-04-05-06-07-08-09"
                                << "";
    QTest::newRow("one digit") << "1-02-03-04-05-06-07-08"
                               << "";
    QTest::newRow("three digits") << "001-02-03-04-05-06-07-08"
                                  << "";
    QTest::newRow("not hex") << "0G-02-03-04-05-06-07-08"
                             << "";
    QTest::newRow("no separators") << "0102030405060708"
                                   << "";
    QTest::newRow("trailing dash") << "01-02-03-04-05-06-07-08-"
                                   << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestUnitSim::serialOption()
{
    QFETCH(QString, text);
    QFETCH(QString, parsed);
    ByteVector bytes{0xAA};
    const bool ok = SimulatorOptions::parseSerial(text.toStdString(), bytes);
    QCOMPARE(ok, !parsed.isEmpty());
    QCOMPARE(hex(bytes), ok ? parsed : QString("AA"));
}

void TestUnitSim::commandLine()
{
    using Outcome = SimulatorOptions::Outcome;
    SimulatorOptions defaults;
    QCOMPARE(defaults.parse({}), Outcome::Run);
    QCOMPARE(hex(defaults.serial), QString("12 34 56 78 01 02 03 04"));
    QCOMPARE(defaults.unitInClient() + ":" + SimulatorOptions::unitInPort,
             std::string("TarnUnitSim In:unit-in"));
    QCOMPARE(defaults.padsOutClient() + ":" + SimulatorOptions::padsOutPort,
             std::string("TarnUnitSim Pads Out:pads-out"));
    QVERIFY(!defaults.pads);
    QVERIFY(defaults.api == SimulatorOptions::Api::Auto);

    SimulatorOptions set;
    QCOMPARE(set.parse({"--api", "jack", "--serial=01-02-03-04-05-06-07-08", "--pads", "--name",
                        "Bench"}),
             Outcome::Run);
    QVERIFY(set.api == SimulatorOptions::Api::Jack);
    QCOMPARE(hex(set.serial), QString("01 02 03 04 05 06 07 08"));
    QVERIFY(set.pads);
    QCOMPARE(set.unitOutClient(), std::string("Bench Out"));

    SimulatorOptions bad;
    QCOMPARE(bad.parse({"--serial", "01-02-03-04-05-06-07-FF"}), Outcome::Error);
    QVERIFY(bad.error().find("invalid serial number \"01-02-03-04-05-06-07-FF\"") == 0);
    QCOMPARE(hex(bad.serial), QString("12 34 56 78 01 02 03 04"));
    QCOMPARE(SimulatorOptions().parse({"--serial"}), Outcome::Error);
    QCOMPARE(SimulatorOptions().parse({"--api", "coreaudio"}), Outcome::Error);
    QCOMPARE(SimulatorOptions().parse({"--verbose"}), Outcome::Error);
    QCOMPARE(SimulatorOptions().parse({"--pads=yes"}), Outcome::Error);
    QCOMPARE(SimulatorOptions().parse({"--pads", "--help", "--bogus"}), Outcome::Help);
}

QTEST_GUILESS_MAIN(TestUnitSim)
#include "tst_unitsim.moc"
