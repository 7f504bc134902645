// The MIDI layer where no MIDI service is needed: a message object's decoding
// and wire form, the unit's requests and replies, the rule that finds a
// stored port name again, and the piano roll. Main thread.

#include "hardmessages.h"
#include "portnamematch.h"
#include "qmidimessage.h"
#include "qmidipianoroll.h"

#include <QGraphicsRectItem>
#include <QtTest>

using Bytes = ByteVector;
Q_DECLARE_METATYPE(Bytes)

namespace {
const Bytes serial{1, 2, 3, 4, 5, 6, 7, 8};

// F0, the serial number, then tail: a message as the unit sends it.
Bytes fromUnit(const Bytes &tail)
{
    Bytes bytes{0xF0};
    bytes.insert(bytes.end(), serial.begin(), serial.end());
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
}

void row(const char *name, const Bytes &bytes, const QVector<int> &fields, const Bytes &wire)
{
    QTest::newRow(name) << bytes << fields << wire;
}

void row(const char *name, const Bytes &message, const Bytes &serial, bool isStatus, int preset)
{
    QTest::newRow(name) << message << serial << isStatus << preset;
}
} // namespace

class TestOffline : public QObject
{
    Q_OBJECT

private slots:
    void messages_data()
    {
        // fields: status, channel, pitch, velocity, control, value; wire: built
        // from them. (Plain notes and SysEx also pass through the ports' flood
        // and the window's exact sends.)
        QTest::addColumn<Bytes>("bytes");
        QTest::addColumn<QVector<int>>("fields");
        QTest::addColumn<Bytes>("wire");
        row("off, channel 16, 8-bit data", {0x8F, 200, 200}, {0x80, 16, 200, 200, 0, 0},
            {0x8F, 200, 200});
        row("control", {0xB1, 7, 100}, {0xB0, 2, 0, 0, 7, 100}, {0xB1, 7, 100});
        row("program", {0xC2, 5}, {0xC0, 3, 0, 0, 0, 5}, {0xC2, 5});
        row("key pressure", {0xA1, 60, 85}, {0xA0, 2, 60, 0, 0, 85}, {});
        row("pressure", {0xD9, 51}, {0xD0, 10, 0, 0, 0, 51}, {});
        row("bend", {0xE0, 0, 0x40}, {0xE0, 1, 0, 0, 0, 8192}, {});
        row("sysex, F7 added", {0xF0, 0x7E}, {0xF0, 0, 0, 0, 0, 0}, {0xF0, 0x7E, 0xF7});
        // The song number is what a setlist jumps by.
        row("song select", {0xF3, 0x11}, {0xF3, 0, 0, 0, 0, 0x11}, {0xF3, 0x11});
        // Short input: what is missing reads as nothing, never past the end.
        row("short bend", {0xE0, 1}, {0xE0, 1, 0, 0, 0, 1}, {});
        row("nothing", {}, {0, 1, 0, 0, 0, 0}, {});
    }

    // Catches a misdecoded field, channel or time unit, a read past short input
    // (the bytes are exactly sized, for AddressSanitizer), and a wrong status
    // byte, masked data or missing end byte on the way out.
    void messages()
    {
        QFETCH(Bytes, bytes);
        QMidiMessage m;
        m.decode(bytes, 0.0125);
        QTEST((QVector<int>{m.status(), m.channel(), m.pitch(), m.velocity(), m.control(),
                            m.value()}),
              "fields");
        QCOMPARE(m.sysExData(), m.status() == 0xF0 ? bytes : Bytes{});
        QCOMPARE(m.timeStamp(), 12.5);
        QTEST(m.rawMessage(), "wire");
    }

    // Catches a wrong byte of the request sent before any serial number is
    // known (those with one are checked against the simulated unit).
    void requestWithoutSerial()
    {
        QCOMPARE(makePresetRequest({}, 0), Bytes({0xF0, 2, 6, 0, 7, 0xF7}));
    }

    void replies_data()
    {
        QTest::addColumn<Bytes>("message");
        QTest::addColumn<Bytes>("serial");
        QTest::addColumn<bool>("isStatus");
        QTest::addColumn<int>("preset");
        row("9 bytes", {0xF0, 1, 2, 3, 4, 5, 6, 7, 8}, {}, false, -1);
        row("10 bytes", fromUnit({1}), serial, false, -1);
        row("11 bytes", fromUnit({1, 0xF7}), serial, true, -1);
        row("no preset", fromUnit({1, 0, 0xF7}), serial, true, -1);
        row("other type", fromUnit({3, 4, 0xF7}), serial, false, 3);
        row("no end byte", fromUnit({1, 3, 4}), serial, true, -1);
        row("first F7", fromUnit({1, 0, 0x10, 0xF7, 5, 0xF7}), serial, true, 15);
        row("F7 at 10", fromUnit({1, 0xF7, 5, 0xF7}), serial, true, 0);
        row("F7 as type", fromUnit({0xF7, 4, 0xF7}), serial, false, 3);
        row("F7 in serial", {0xF0, 8, 7, 6, 5, 4, 3, 2, 0xF7, 1, 2, 0xF7},
            {8, 7, 6, 5, 4, 3, 2, 0xF7}, true, 1);
    }

    // Catches a misread serial, type byte or preset offset, an end search that
    // starts too early, and a read past the end.
    void replies()
    {
        QFETCH(Bytes, message);
        const HardReply reply = parseHardReply(message);
        QTEST(reply.serial, "serial");
        QTEST(reply.isStatus, "isStatus");
        QTEST(reply.preset, "preset");
    }

    // A stored port name is found again when only its client numbers moved,
    // unless the moved one is another device's.
    void storedNameMatches_data()
    {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("others");
        QTest::addColumn<QString>("found");
        const QString unit = "u:u MIDI 1 24:0", moved = "u:u MIDI 1 28:0";
        const QString twin = "u:u MIDI 1 29:0";
        const QStringList none;
        QTest::newRow("exact") << QStringList{twin, unit} << unit << QStringList{unit} << unit;
        QTest::newRow("numbers moved") << QStringList{"x:y 14:0", moved} << unit << none << moved;
        QTest::newRow("two candidates") << QStringList{moved, twin} << unit << none << "";
        QTest::newRow("other port") << QStringList{"u:u MIDI 2 24:1"} << unit << none << "";
        QTest::newRow("no numbers") << QStringList{"s:o 1:0"} << "s:o" << none << QString();
        QTest::newRow("the other's") << QStringList{twin} << unit << QStringList{twin} << "";
        QTest::newRow("moved beside the other's")
            << QStringList{twin, moved} << unit << QStringList{"x:y 14:0", twin} << moved;
    }

    void storedNameMatches()
    {
        QFETCH(QStringList, present);
        QFETCH(QString, stored);
        QFETCH(QStringList, others);
        QFETCH(QString, found);
        QCOMPARE(PortNameMatch::presentName(present, stored, others), found);
    }

    // Catches keys misplaced or mis-sized, and notes outside the 128 keys
    // touching anything.
    void pianoRollKeys()
    {
        QMidiPianoRoll roll;
        QCOMPARE(roll.key(60)->rect(), QRectF(410, 0, 10, 60)); // a C, five octaves in
        QCOMPARE(roll.key(61)->rect(), QRectF(416, 0, 10, 30)); // its sharp, half as high
        QCOMPARE(roll.key(127)->rect(), QRectF(867, 0, 10, 60));
        QMidiMessage note;
        for (int pitch : {-1, 128, 100000, 127}) {
            note.setStatus(0x90)->setPitch(pitch)->setVelocity(100);
            roll.onMidiReceive(&note);
        }
        QCOMPARE(roll.key(127)->brush().color(), QColor(0, 0, 200, 200));
    }
};

QTEST_MAIN(TestOffline)
#include "tst_offline.moc"
