// The piano-roll view: the geometry of its 128 keys and how Note On and Note
// Off messages colour them.
#include "qmidimessage.h"
#include "qmidipianoroll.h"

#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QtTest>

namespace {

QMidiMessage note(int status, int pitch, int velocity)
{
    QMidiMessage m;
    m.setStatus(status)->setPitch(pitch)->setVelocity(velocity);
    return m;
}

QVector<QBrush> brushes(const QMidiPianoRoll &roll)
{
    QVector<QBrush> all;
    for (int n = 0; n < 128; ++n)
        all << roll.key(n)->brush();
    return all;
}

} // namespace

class TestQMidiPianoRoll : public QObject
{
    Q_OBJECT
private slots:
    void keyboardGeometry();
    void noteOnAndOffColourTheKey();
    void otherMessagesChangeNothing();
};

void TestQMidiPianoRoll::keyboardGeometry()
{
    QMidiPianoRoll roll;
    // The view's scene (the class's own member of that name hides the getter).
    const QGraphicsScene *scene = static_cast<QGraphicsView &>(roll).scene();
    QVERIFY(scene);
    QCOMPARE(scene->items().size(), 128);

    const QGraphicsRectItem *c = roll.key(60);
    QCOMPARE(c->rect(), QRectF(410, 0, 10, 60));
    QCOMPARE(c->brush().style(), Qt::NoBrush);
    QCOMPARE(c->zValue(), 0.0);
    const QGraphicsRectItem *cSharp = roll.key(61);
    QCOMPARE(cSharp->rect(), QRectF(416, 0, 10, 30));
    QCOMPARE(cSharp->brush(), QBrush(Qt::black));
    QCOMPARE(cSharp->pen().color(), QColor(Qt::black));
    QCOMPARE(cSharp->zValue(), 2.0);
    QCOMPARE(roll.key(127)->rect(), QRectF(867, 0, 10, 60));

    // One octave: C C# D D# E F F# G G# A A# B, 82 units wide.
    const QVector<int> starts{0, 6, 12, 18, 24, 35, 41, 47, 53, 59, 65, 71};
    for (int p = 0; p < 12; ++p) {
        QCOMPARE(roll.key(12 + p)->rect().x(), 82.0 + starts[p]);
        QCOMPARE(QMidiPianoRoll::isBlackKey(12 + p), roll.key(12 + p)->rect().height() == 30);
    }
    QVERIFY(QMidiPianoRoll::isBlackKey(-1));
    QVERIFY(!QMidiPianoRoll::isBlackKey(-12));
}

void TestQMidiPianoRoll::noteOnAndOffColourTheKey()
{
    QMidiPianoRoll roll;
    auto on = note(0x90, 61, 100);
    roll.onMidiReceive(&on);
    QCOMPARE(roll.key(61)->brush(), QBrush(QColor(0, 0, 200, 200)));
    auto off = note(0x80, 61, 0);
    roll.onMidiReceive(&off);
    QCOMPARE(roll.key(61)->brush(), QBrush(Qt::black));

    auto loud = note(0x90, 127, 127);
    roll.onMidiReceive(&loud);
    QCOMPARE(roll.key(127)->brush().color(), QColor(0, 0, 200, 254));

    auto silent = note(0x90, 60, 0);
    roll.onMidiReceive(&silent);
    QCOMPARE(roll.key(60)->brush().style(), Qt::SolidPattern);
    QCOMPARE(roll.key(60)->brush().color().alpha(), 0);
    auto release = note(0x80, 60, 64);
    roll.onMidiReceive(&release);
    QCOMPARE(roll.key(60)->brush(), QBrush(Qt::white));

    // Every channel lights the same keyboard.
    auto channel10 = note(0x90, 0, 10);
    channel10.setChannel(10);
    roll.onMidiReceive(&channel10);
    QCOMPARE(roll.key(0)->brush().color(), QColor(0, 0, 200, 20));
}

void TestQMidiPianoRoll::otherMessagesChangeNothing()
{
    QMidiPianoRoll roll;
    const QVector<QBrush> before = brushes(roll);
    for (int pitch : {128, 200, -1, -128, 1000000}) {
        auto on = note(0x90, pitch, 100);
        roll.onMidiReceive(&on);
        auto off = note(0x80, pitch, 0);
        roll.onMidiReceive(&off);
    }
    auto cc = note(0xB0, 60, 100);
    cc.setControl(60)->setValue(100);
    roll.onMidiReceive(&cc);
    auto pressure = note(0xA0, 61, 100);
    roll.onMidiReceive(&pressure);
    QCOMPARE(brushes(roll), before);
}

QTEST_MAIN(TestQMidiPianoRoll)
#include "tst_qmidipianoroll.moc"
