// The unit's message set: the three requests byte for byte, the decoding of
// the unit's replies and the hexadecimal text of byte vectors.
#include "hardmessages.h"

#include <QtTest>

Q_DECLARE_METATYPE(ByteVector)

namespace {
const ByteVector serial{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};

// F0, the serial number, then tail.
ByteVector reply(std::initializer_list<unsigned char> tail)
{
    ByteVector bytes;
    bytes.reserve(1 + serial.size() + tail.size());
    bytes.push_back(0xF0);
    bytes.insert(bytes.end(), serial.begin(), serial.end());
    bytes.insert(bytes.end(), tail);
    return bytes;
}
} // namespace

class TestHardMessages : public QObject
{
    Q_OBJECT
private slots:
    void requests();
    void parse_data();
    void parse();
    void hexText();
};

void TestHardMessages::requests()
{
    QCOMPARE(makeSerialRequest(),
             (ByteVector{0xF0, 0x00, 0x11, 0x22, 0x0A, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0xF7}));
    QCOMPARE(makeInitStatusRequest(serial),
             (ByteVector{0xF0, 1, 2, 3, 4, 5, 6, 7, 8, 0x02, 0x01, 0xF7}));
    QCOMPARE(makePresetRequest(serial, 5),
             (ByteVector{0xF0, 1, 2, 3, 4, 5, 6, 7, 8, 0x02, 0x06, 0x05, 0x07, 0xF7}));
    QCOMPARE(makePresetRequest(serial, 0)[11], 0x00);
    // The serial number is copied as given, whatever its length.
    QCOMPARE(makeInitStatusRequest({}), (ByteVector{0xF0, 0x02, 0x01, 0xF7}));
    QCOMPARE(makePresetRequest({}, 3), (ByteVector{0xF0, 0x02, 0x06, 0x03, 0x07, 0xF7}));
    QCOMPARE(makePresetRequest({0xAA, 0xBB}, 1),
             (ByteVector{0xF0, 0xAA, 0xBB, 0x02, 0x06, 0x01, 0x07, 0xF7}));
}

void TestHardMessages::parse_data()
{
    QTest::addColumn<ByteVector>("message");
    QTest::addColumn<ByteVector>("serial");
    QTest::addColumn<bool>("isStatus");
    QTest::addColumn<int>("preset");

    QTest::newRow("status, third preset") << reply({0x01, 0x03, 0xF7}) << serial << true << 2;
    QTest::newRow("status, first preset") << reply({0x01, 0x01, 0xF7}) << serial << true << 0;
    QTest::newRow("status, no preset") << reply({0x01, 0x00, 0xF7}) << serial << true << -1;
    QTest::newRow("11 bytes ending in F7") << reply({0x01, 0xF7}) << serial << true << -1;
    QTest::newRow("11 bytes, preset-like byte") << reply({0x01, 0x03}) << serial << true << -1;
    QTest::newRow("10 bytes") << reply({0x01}) << serial << false << -1;
    QTest::newRow("9 bytes") << ByteVector{0xF0, 1, 2, 3, 4, 5, 6, 7, 8} << ByteVector{} << false
                             << -1;
    QTest::newRow("empty") << ByteVector{} << ByteVector{} << false << -1;
    QTest::newRow("other type keeps serial and preset")
        << reply({0x03, 0x04, 0xF7}) << serial << false << 3;
    QTest::newRow("unclamped preset") << reply({0x01, 0x07, 0xF7}) << serial << true << 6;
    QTest::newRow("highest preset byte") << reply({0x01, 0xFF, 0xF7}) << serial << true << 254;
    // The first F7 at offset 10 or later ends the message; an F7 in the
    // serial number or the type byte does not count.
    QTest::newRow("first F7 counts")
        << reply({0x01, 0x00, 0x10, 0xF7, 0x05, 0xF7}) << serial << true << 15;
    QTest::newRow("F7 at offset 10 reads byte 9")
        << reply({0x01, 0xF7, 0x05, 0xF7}) << serial << true << 0;
    QTest::newRow("F7 in serial ignored")
        << ByteVector{0xF0, 0xF7, 2, 3, 4, 5, 6, 7, 0xF7, 0x01, 0x02, 0xF7}
        << ByteVector{0xF7, 2, 3, 4, 5, 6, 7, 0xF7} << true << 1;
    QTest::newRow("F7 as type byte ignored") << reply({0xF7, 0x04, 0xF7}) << serial << false << 3;
    QTest::newRow("no end byte") << reply({0x01, 0x03, 0x04}) << serial << true << -1;
}

void TestHardMessages::parse()
{
    QFETCH(ByteVector, message);
    QFETCH(ByteVector, serial);
    QFETCH(bool, isStatus);
    QFETCH(int, preset);

    // Exactly sized, so that a read past the end shows under AddressSanitizer.
    const ByteVector exact(message.begin(), message.end());
    const HardReply decoded = parseHardReply(exact);
    QCOMPARE(decoded.serial, serial);
    QCOMPARE(decoded.isStatus, isStatus);
    QCOMPARE(decoded.preset, preset);
}

void TestHardMessages::hexText()
{
    QCOMPARE(toHexString(makeSerialRequest(), ' '),
             QStringLiteral("F0 00 11 22 0A 00 00 00 00 02 00 F7"));
    QCOMPARE(toHexString({0x0A, 0xFF, 0x00}, '-'), QStringLiteral("0A-FF-00"));
    QCOMPARE(toHexString({0x7B}, '-'), QStringLiteral("7B"));
    QCOMPARE(toHexString({}, ' '), QString());
    QCOMPARE(toHexString(serial, '-'), QStringLiteral("01-02-03-04-05-06-07-08"));
}

QTEST_GUILESS_MAIN(TestHardMessages)
#include "tst_hardmessages.moc"
