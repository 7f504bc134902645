// The mapper's slots: reachable by name through the meta-object system,
// directly and queued, and connectable to an input port.
#include "qmidiin.h"
#include "qmidimapper.h"
#include "qmidimessage.h"

#include <QWidget>
#include <QtTest>

class TestQMidiMapper : public QObject
{
    Q_OBJECT
private slots:
    void slotsInvokableByName();
    void connectsToAnInputPort();
};

void TestQMidiMapper::slotsInvokableByName()
{
    QMidiMapper mapper;
    QWidget widget;
    QMidiMessage message;
    message.setStatus(0x90)->setPitch(60)->setVelocity(100);

    for (Qt::ConnectionType type : {Qt::DirectConnection, Qt::QueuedConnection}) {
        QVERIFY(QMetaObject::invokeMethod(&mapper, "setMappingState", type, Q_ARG(bool, false)));
        QVERIFY(QMetaObject::invokeMethod(&mapper, "setMappingState", type));
        QVERIFY(QMetaObject::invokeMethod(&mapper, "setWidget", type, Q_ARG(QWidget *, &widget)));
        QVERIFY(QMetaObject::invokeMethod(&mapper, "onMidiMessageReceive", type,
                                          Q_ARG(QMidiMessage *, &message)));
    }
    QCoreApplication::processEvents();
    // Nothing mapped: the message and the widget are as they were.
    QCOMPARE(message.rawMessage(), (std::vector<unsigned char>{0x90, 0x3C, 0x64}));
    QVERIFY(mapper.children().isEmpty());
    QVERIFY(widget.parent() == nullptr);
}

void TestQMidiMapper::connectsToAnInputPort()
{
    QMidiMapper mapper;
    QMidiIn in;
    QVERIFY(
        connect(&in, &QMidiIn::midiMessageReceived, &mapper, &QMidiMapper::onMidiMessageReceive));
    QVERIFY(connect(&in, SIGNAL(midiMessageReceived(QMidiMessage *)), &mapper,
                    SLOT(onMidiMessageReceive(QMidiMessage *))));
}

QTEST_MAIN(TestQMidiMapper)
#include "tst_qmidimapper.moc"
