// The first message on a connection just made reaches the port: the serial
// request, sent right after the ports to the unit simulator open, over and
// over while another client keeps asking JACK for its graph. Main thread.

#include "programrun.h"
#include "qmidiin.h"
#include "qmidimessage.h"
#include "qmidiout.h"

#include <QtTest>

#include <cstdio>

class TestE2eFirstSend : public QObject
{
    Q_OBJECT

private slots:
    void everyRequestOnANewConnectionArrivesOnce();
};

void TestE2eFirstSend::everyRequestOnANewConnectionArrivesOnce()
{
    // 20 in the suite; the graph check asks for 200.
    const int rounds = qEnvironmentVariableIsSet("TARN_FIRSTSEND_ROUNDS")
                           ? qEnvironmentVariableIntValue("TARN_FIRSTSEND_ROUNDS")
                           : 20;
    const QString name = QStringLiteral("first-%1").arg(QCoreApplication::applicationPid());
    ProgramRun unit(TARNAPP_UNITSIM, {"--api", "jack", "--name", name});
    unit.start();
    QVERIFY(unit.waitForLine("unit: type h for commands"));
    ProgramRun churn("sh", {"-c", "while kill -0 $PPID 2>/dev/null; do jack_lsp >/dev/null "
                                  "2>&1; sleep 0.05; done"});
    churn.start();

    QMidiIn in;
    QMidiOut out;
    in.ignoreTypes(false, true, true);
    int replies = 0;
    connect(&in, &QMidiIn::midiMessageReceived, this,
            [&replies](QMidiMessage *message) { replies += message->status() == 0xF0; });
    std::vector<unsigned char> request{0xF0, 0x00, 0x11, 0x22, 0x0A, 0x00,
                                       0x00, 0x00, 0x00, 0x02, 0x00, 0xF7};
    int lost = 0;
    for (int round = 0; round < rounds; ++round) {
        in.openPort(static_cast<unsigned int>(in.portNames().indexOf(name + ":unit-out")));
        out.openPort(static_cast<unsigned int>(out.portNames().indexOf(name + ":unit-in")));
        QVERIFY(in.isPortOpen() && out.isPortOpen());
        const int before = replies;
        out.sendRawMessage(request);
        lost += !QTest::qWaitFor([&] { return replies > before; }, 2000);
        out.closePort();
        in.closePort();
    }
    QCOMPARE(lost, 0);
    const int requests = unit.lines("Rcv    : F0 00 11 22 0A 00 00 00 00 02 00 F7").size();
    // A server missing cycles has been seen to hand a message over twice; the
    // graph check, which reads the server's log, judges a surplus there.
    if (qEnvironmentVariableIsSet("TARN_FIRSTSEND_SURPLUS") && requests >= rounds &&
        replies > rounds) {
        std::printf("surplus: %d\n", replies - rounds);
        return;
    }
    QCOMPARE(replies, rounds);
    QCOMPARE(requests, rounds);
}

QTEST_MAIN(TestE2eFirstSend)
#include "tst_e2efirstsend.moc"
