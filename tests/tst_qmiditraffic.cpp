// The input port under load on the private JACK server: every delivered
// message object is deleted again, and an input port can be destroyed while
// messages are still arriving.
#include "debugcapture.h"
#include "midipeer.h"
#include "portopening.h"
#include "qmidiin.h"
#include "qmidimessage.h"
#include "receivedmessages.h"
#include "stdoutcapture.h"
#include "testwait.h"

#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>

class TestQMidiTraffic : public QObject
{
    Q_OBJECT
private slots:
    void deliveredMessagesAreDeleted();
    void destroyOpenInputUnderTraffic();
};

void TestQMidiTraffic::deliveredMessagesAreDeleted()
{
    constexpr int total = 10000;
    MidiPeer peer("traffic-leak", MidiPeer::Output);
    QMidiIn in;
    ReceivedMessages got(&in);
    QVERIFY(PortOpening::openFrom(in, peer));
    DebugCapture debug;
    StdoutCapture out;

    // In batches that the receiving client handles within one JACK cycle
    // even in a sanitizer build. A client that misses a cycle loses that
    // cycle's events (a busy machine), so a batch of which nothing arrived is
    // sent again: what counts is that every delivered message goes away.
    constexpr int batch = 50;
    QVERIFY(peer.send({0x90, 0x00, 0x01}));
    int sent = 1;
    for (int lost = 0; got.count() < total && lost < 20;) {
        const int target = std::min(got.count() + batch, total);
        for (int n = got.count(); n < target; ++n, ++sent)
            peer.sendNow({0x90, static_cast<unsigned char>(sent % 128), 0x40});
        if (!got.waitFor(target, 1000))
            ++lost;
    }
    QVERIFY2(got.count() >= total,
             qPrintable(QStringLiteral("%1 of %2 messages arrived").arg(got.count()).arg(sent)));
    // The program's main loop is a real event loop; deletion happens there.
    TestWait::runEventLoop(100);
    const int delivered = got.count();
    QCOMPARE(got.destroyedCount(), delivered);

    // One debug line and one standard-output line per message.
    QCOMPARE(debug.lines("channel 0").size(), delivered);
    const QStringList lines = out.lines();
    QCOMPARE(lines.size(), delivered);
    QVERIFY(lines.last().startsWith("Byte 0 = 144, Byte 1 = "));
}

void TestQMidiTraffic::destroyOpenInputUnderTraffic()
{
    MidiPeer peer("traffic-destroy", MidiPeer::Output);
    ReceivedMessages got;
    DebugCapture debug;
    StdoutCapture out;

    // Sends until the test function ends, however it ends.
    struct Sender
    {
        explicit Sender(MidiPeer &peer)
            : thread([this, &peer] {
                  for (unsigned n = 0; !stop.load(); ++n) {
                      peer.sendNow({0x90, static_cast<unsigned char>(n % 128), 0x40});
                      std::this_thread::sleep_for(std::chrono::microseconds(200));
                  }
              })
        {
        }
        ~Sender()
        {
            stop = true;
            thread.join();
        }
        std::atomic<bool> stop{false};
        std::thread thread;
    };
    Sender sender(peer);

    for (int round = 0; round < 15; ++round) {
        auto in = std::make_unique<QMidiIn>();
        connect(in.get(), &QMidiIn::midiMessageReceived, &got, &ReceivedMessages::receive);
        QVERIFY(PortOpening::openFrom(*in, peer));
        const int before = got.count();
        QVERIFY(TestWait::until([&] { return got.count() > before; }));
        in.reset(); // open, with messages arriving

        // The library calls back no more (every call writes a "channel"
        // line); what was on its way is delivered, and then nothing comes,
        // although the peer goes on sending.
        const int called = debug.lines("channel").size();
        TestWait::runEventLoop(10);
        const int delivered = got.count();
        TestWait::runEventLoop(40);
        QCOMPARE(debug.lines("channel").size(), called);
        QCOMPARE(got.count(), delivered);
    }
    TestWait::runEventLoop(50);
    QCOMPARE(got.destroyedCount(), got.count());
}

QTEST_GUILESS_MAIN(TestQMidiTraffic)
#include "tst_qmiditraffic.moc"
