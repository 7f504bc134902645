// The MIDI message object: wire bytes built from fields, decoding of
// received bytes, and decoding of truncated input without reading past it.
#include "qmidimessage.h"

#include <QtTest>

using Bytes = std::vector<unsigned char>;
Q_DECLARE_METATYPE(Bytes)

class TestQMidiMessage : public QObject
{
    Q_OBJECT
private slots:
    void initialState();
    void wireBytes_data();
    void wireBytes();
    void wireBytesAreKeptUntilClear();
    void setRawMessageWins();
    void copyHoldsEveryField();
    void decode_data();
    void decode();
    void decodeShortInputReadsNoFurther_data();
    void decodeShortInputReadsNoFurther();
    void decodeTimeStampInMilliseconds();
};

void TestQMidiMessage::initialState()
{
    QMidiMessage m;
    QCOMPARE(m.status(), 0);
    QCOMPARE(m.channel(), 1);
    QCOMPARE(m.pitch() + m.velocity() + m.control() + m.value(), 0);
    QCOMPARE(m.timeStamp(), 0.0);
    QVERIFY(m.sysExData().empty());
    QVERIFY(m.parent() == nullptr);
    QVERIFY(m.rawMessage().empty());
}

// Fields: status, channel, pitch/control, velocity/value, sysex.
void TestQMidiMessage::wireBytes_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("first");  // pitch or control
    QTest::addColumn<int>("second"); // velocity or value
    QTest::addColumn<Bytes>("sysex");
    QTest::addColumn<Bytes>("wire");

    QTest::newRow("note on ch1") << 0x90 << 1 << 54 << 127 << Bytes{} << Bytes{0x90, 0x36, 0x7F};
    QTest::newRow("note on ch16") << 0x90 << 16 << 54 << 127 << Bytes{} << Bytes{0x9F, 0x36, 0x7F};
    QTest::newRow("note off ch1") << 0x80 << 1 << 54 << 127 << Bytes{} << Bytes{0x80, 0x36, 0x7F};
    QTest::newRow("control change") << 0xB0 << 2 << 7 << 100 << Bytes{} << Bytes{0xB1, 0x07, 0x64};
    QTest::newRow("program change") << 0xC0 << 1 << 0 << 5 << Bytes{} << Bytes{0xC0, 0x05};
    // Data bytes go out as their low eight bits, not masked to seven.
    QTest::newRow("unmasked data")
        << 0x90 << 1 << 0x1C8 << 200 << Bytes{} << Bytes{0x90, 0xC8, 0xC8};
    QTest::newRow("sysex with end")
        << 0xF0 << 1 << 0 << 0 << Bytes{0xF0, 0x01, 0x02, 0xF7} << Bytes{0xF0, 0x01, 0x02, 0xF7};
    QTest::newRow("sysex end added")
        << 0xF0 << 1 << 0 << 0 << Bytes{0xF0, 0x01, 0x02} << Bytes{0xF0, 0x01, 0x02, 0xF7};
    QTest::newRow("pitch bend") << 0xE0 << 1 << 1 << 2 << Bytes{} << Bytes{};
    QTest::newRow("poly pressure") << 0xA0 << 1 << 1 << 2 << Bytes{} << Bytes{};
    QTest::newRow("channel pressure") << 0xD0 << 1 << 1 << 2 << Bytes{} << Bytes{};
    QTest::newRow("no status") << 0 << 1 << 1 << 2 << Bytes{} << Bytes{};
    QTest::newRow("clock") << 0xF8 << 1 << 1 << 2 << Bytes{} << Bytes{};
}

void TestQMidiMessage::wireBytes()
{
    QFETCH(int, status);
    QFETCH(int, channel);
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(Bytes, sysex);
    QFETCH(Bytes, wire);

    QMidiMessage m;
    m.setStatus(status)->setChannel(channel)->setSysExData(sysex);
    if (status == 0xB0 || status == 0xC0)
        m.setControl(first)->setValue(second);
    else
        m.setPitch(first)->setVelocity(second);
    QCOMPARE(m.rawMessage(), wire);
    QCOMPARE(m.rawMessage(), wire); // a second call gives the same bytes
}

void TestQMidiMessage::wireBytesAreKeptUntilClear()
{
    QMidiMessage m;
    m.setStatus(0x90)->setPitch(54)->setVelocity(127);
    QCOMPARE(m.rawMessage(), (Bytes{0x90, 0x36, 0x7F}));
    m.setPitch(60);
    QCOMPARE(m.rawMessage(), (Bytes{0x90, 0x36, 0x7F}));

    m.clear();
    QCOMPARE(m.status(), 0);
    QCOMPARE(m.channel(), 1);
    QCOMPARE(m.pitch(), 0);
    QVERIFY(m.rawMessage().empty());
    m.setStatus(0x90)->setPitch(60)->setVelocity(1);
    QCOMPARE(m.rawMessage(), (Bytes{0x90, 0x3C, 0x01}));
}

void TestQMidiMessage::setRawMessageWins()
{
    QMidiMessage m;
    m.setStatus(0x90)->setPitch(54)->setVelocity(127)->setRawMessage({0xFA});
    QCOMPARE(m.rawMessage(), Bytes{0xFA});
}

void TestQMidiMessage::copyHoldsEveryField()
{
    QObject owner;
    QMidiMessage m(&owner);
    m.setStatus(0xB0)->setChannel(3)->setPitch(1)->setVelocity(2)->setControl(7)->setValue(9);
    m.setTimeStamp(12.5)->setSysExData({0xF0, 0xF7})->setRawMessage({0xB2, 7, 9});

    QMidiMessage copy(m);
    QVERIFY(copy.parent() == nullptr);
    QCOMPARE(copy.status(), 0xB0);
    QCOMPARE(copy.channel(), 3);
    QCOMPARE(copy.pitch(), 1);
    QCOMPARE(copy.velocity(), 2);
    QCOMPARE(copy.control(), 7);
    QCOMPARE(copy.value(), 9);
    QCOMPARE(copy.timeStamp(), 12.5);
    QCOMPARE(copy.sysExData(), (Bytes{0xF0, 0xF7}));
    QCOMPARE(copy.rawMessage(), (Bytes{0xB2, 7, 9}));
}

void TestQMidiMessage::decode_data()
{
    // Expected: status, channel, pitch, velocity, control, value, sysex.
    QTest::addColumn<Bytes>("bytes");
    QTest::addColumn<QVector<int>>("fields");
    QTest::addColumn<Bytes>("sysex");

    QTest::newRow("note on vel 0 stays note on")
        << Bytes{0x93, 0x3C, 0x00} << QVector<int>{0x90, 4, 60, 0, 0, 0} << Bytes{};
    QTest::newRow("note off") << Bytes{0x8F, 0x40, 0x20} << QVector<int>{0x80, 16, 64, 32, 0, 0}
                              << Bytes{};
    QTest::newRow("poly pressure")
        << Bytes{0xA1, 0x3C, 0x55} << QVector<int>{0xA0, 2, 60, 0, 0, 0x55} << Bytes{};
    QTest::newRow("control change")
        << Bytes{0xB0, 0x07, 0x64} << QVector<int>{0xB0, 1, 0, 0, 7, 100} << Bytes{};
    QTest::newRow("program change")
        << Bytes{0xC2, 0x05} << QVector<int>{0xC0, 3, 0, 0, 0, 5} << Bytes{};
    QTest::newRow("channel pressure")
        << Bytes{0xD9, 0x33} << QVector<int>{0xD0, 10, 0, 0, 0, 0x33} << Bytes{};
    QTest::newRow("pitch bend centre")
        << Bytes{0xE0, 0x00, 0x40} << QVector<int>{0xE0, 1, 0, 0, 0, 8192} << Bytes{};
    QTest::newRow("pitch bend top")
        << Bytes{0xE0, 0x7F, 0x7F} << QVector<int>{0xE0, 1, 0, 0, 0, 16383} << Bytes{};
    QTest::newRow("sysex") << Bytes{0xF0, 0x7E, 0x00, 0xF7} << QVector<int>{0xF0, 0, 0, 0, 0, 0}
                           << Bytes{0xF0, 0x7E, 0x00, 0xF7};
    QTest::newRow("clock") << Bytes{0xF8} << QVector<int>{0xF8, 0, 0, 0, 0, 0} << Bytes{};
    QTest::newRow("song position")
        << Bytes{0xF2, 0x10, 0x20} << QVector<int>{0xF2, 0, 0, 0, 0, 0} << Bytes{};
}

void TestQMidiMessage::decode()
{
    QFETCH(Bytes, bytes);
    QFETCH(QVector<int>, fields);
    QFETCH(Bytes, sysex);

    QMidiMessage m;
    m.decode(bytes, 0.0);
    QCOMPARE(
        (QVector<int>{m.status(), m.channel(), m.pitch(), m.velocity(), m.control(), m.value()}),
        fields);
    QCOMPARE(m.sysExData(), sysex);
    // Kinds that have a wire form build the received bytes back.
    const bool buildable = QVector<int>{0x80, 0x90, 0xB0, 0xC0, 0xF0}.contains(fields[0]);
    QCOMPARE(m.rawMessage(), buildable ? bytes : Bytes{});
}

// The bytes live in a heap block of exactly their size, so that a read past
// the end is caught under AddressSanitizer; without it, the fields must still
// hold nothing but what was received.
void TestQMidiMessage::decodeShortInputReadsNoFurther_data()
{
    QTest::addColumn<Bytes>("bytes");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("pitch");
    QTest::addColumn<int>("velocity");
    QTest::addColumn<int>("value");

    QTest::newRow("lone note on") << Bytes{0x90} << 0x90 << 0 << 0 << 0;
    QTest::newRow("two-byte note on") << Bytes{0x90, 0x3C} << 0x90 << 60 << 0 << 0;
    QTest::newRow("lone pitch bend") << Bytes{0xE5} << 0xE0 << 0 << 0 << 0;
    QTest::newRow("two-byte pitch bend") << Bytes{0xE0, 0x01} << 0xE0 << 0 << 0 << 1;
    QTest::newRow("lone program change") << Bytes{0xC0} << 0xC0 << 0 << 0 << 0;
    QTest::newRow("lone control change") << Bytes{0xB0} << 0xB0 << 0 << 0 << 0;
    QTest::newRow("one-byte sysex") << Bytes{0xF0} << 0xF0 << 0 << 0 << 0;
    QTest::newRow("nothing") << Bytes{} << 0 << 0 << 0 << 0;
}

void TestQMidiMessage::decodeShortInputReadsNoFurther()
{
    QFETCH(Bytes, bytes);
    QFETCH(int, status);
    QFETCH(int, pitch);
    QFETCH(int, velocity);
    QFETCH(int, value);

    const Bytes exact(bytes.begin(), bytes.end());
    QMidiMessage m;
    m.decode(exact, 0.0);
    QCOMPARE(m.status(), status);
    QCOMPARE(m.pitch(), pitch);
    QCOMPARE(m.velocity(), velocity);
    QCOMPARE(m.value(), value);
    QCOMPARE(m.sysExData(), status == 0xF0 ? bytes : Bytes{});
}

void TestQMidiMessage::decodeTimeStampInMilliseconds()
{
    QMidiMessage m;
    m.decode({0xF8}, 0.0125);
    QCOMPARE(m.timeStamp(), 12.5);
}

QTEST_GUILESS_MAIN(TestQMidiMessage)
#include "tst_qmidimessage.moc"
