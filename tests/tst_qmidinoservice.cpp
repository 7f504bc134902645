// The port objects without a MIDI service: made while no JACK server runs,
// they list nothing, stay closed, refuse to open and drop sends; once a
// server starts, the same objects see its ports. Runs its own server under a
// name of its own, never the suite's.
#include "debugcapture.h"
#include "midipeer.h"
#include "qmidiin.h"
#include "qmidimessage.h"
#include "qmidiout.h"
#include "receivedmessages.h"
#include "testwait.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>
#include <RtMidi.h>

class TestQMidiNoService : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void withoutServiceNothingIsOpen();
    void serverStartedLaterIsSeen();
    void cleanupTestCase();

private:
    bool fixture(const char *action);

    QString m_server;
    QString m_pidFile;
};

bool TestQMidiNoService::fixture(const char *action)
{
    const QString script = qEnvironmentVariable("TARN_JACK_FIXTURE");
    if (script.isEmpty())
        return false;
    return QProcess::execute(script, {action, m_server, m_pidFile}) == 0;
}

void TestQMidiNoService::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("TARN_JACK_FIXTURE"))
        QSKIP("run through ctest: TARN_JACK_FIXTURE is not set");
    m_server = qEnvironmentVariable("JACK_DEFAULT_SERVER", "tarn") + "-ns";
    const QString stateDir = qEnvironmentVariable("TARN_TEST_STATE_DIR", QDir::tempPath());
    m_pidFile = stateDir + "/noservice.pid";
    // Left running by an interrupted earlier run?
    QVERIFY(fixture("stop"));
    // Every client from here on, the library's included, looks for this one.
    qputenv("JACK_DEFAULT_SERVER", m_server.toUtf8());
}

void TestQMidiNoService::withoutServiceNothingIsOpen()
{
    QMidiIn in;
    QMidiOut out;
    QVERIFY(in.portNames().isEmpty());
    QVERIFY(out.portNames().isEmpty());
    QVERIFY(!in.isPortOpen());
    QVERIFY(!out.isPortOpen());

    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            if (attempt == 0)
                in.openPort(0u);
            else
                out.openPort(0u);
            QFAIL("openPort(0) without a service did not throw");
        } catch (const RtMidiError &error) {
            qInfo("openPort(0): %s", error.what());
            QVERIFY(!error.getMessage().empty());
        }
    }
    in.openPort(QStringLiteral("any port"));
    QVERIFY(!in.isPortOpen());
    QVERIFY(!out.isPortOpen());

    QMidiMessage sysex;
    sysex.setStatus(0xF0)->setSysExData({0xF0, 0x01, 0x02, 0x03});
    DebugCapture debug;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 5000; ++i) {
        out.sendMessage(&sysex);
        out.sendNoteOn(1, 60, 100);
    }
    QVERIFY(timer.elapsed() < 2000);
    QCOMPARE(debug.lines("send message 240").size(), 5000);
}

void TestQMidiNoService::serverStartedLaterIsSeen()
{
    QMidiIn in;
    QMidiOut out;
    QVERIFY(in.portNames().isEmpty());

    QVERIFY(fixture("start"));
    MidiPeer peer("noservice");
    // (A loaded machine can refuse a client now and then; the next call
    // tries again.)
    QVERIFY2(TestWait::until([&] { return in.portNames().contains(peer.outputPortName()); }),
             qPrintable(in.portNames().join(", ")));
    QVERIFY2(TestWait::until([&] { return out.portNames().contains(peer.inputPortName()); }),
             qPrintable(out.portNames().join(", ")));

    // And the same objects now carry messages both ways.
    out.openPort(unsigned(out.portNames().indexOf(peer.inputPortName())));
    QVERIFY(out.isPortOpen());
    QVERIFY(peer.waitForInputConnection());
    QVERIFY(TestWait::repeatUntilArrived(
        [&] {
            peer.clearReceived();
            out.sendNoteOn(1, 60, 100);
        },
        [&] { return peer.receivedCount() >= 1; }));
    QCOMPARE(peer.received().front(), (std::vector<unsigned char>{0x90, 0x3C, 0x64}));

    ReceivedMessages got(&in);
    in.openPort(peer.outputPortName());
    QVERIFY(in.isPortOpen());
    QVERIFY(TestWait::repeatUntilArrived(
        [&] {
            got.clear();
            peer.send({0x91, 0x40, 0x7F});
        },
        [&] { return got.count() >= 1; }));
    QCOMPARE(got.entries().front().pitch, 64);
    in.closePort();
    out.closePort();
}

void TestQMidiNoService::cleanupTestCase()
{
    if (!m_server.isEmpty())
        QVERIFY(fixture("stop"));
}

QTEST_GUILESS_MAIN(TestQMidiNoService)
#include "tst_qmidinoservice.moc"
