// The port objects on the suite's server, with the simulator's port pairs as
// devices: receiving and a flood, an input destroyed under traffic, ports
// closed while JACK announces graph changes, a SysEx cut short, and the server
// stopping and starting again, then sending on the new one. Main thread; the
// library's input threads deliver.

#include "debugcapture.h"
#include "jackprobe.h"
#include "midiservice.h"
#include "peer.h"
#include "qmidiin.h"
#include "qmidimessage.h"
#include "qmidiout.h"
#include "testwait.h"

#include <QSignalSpy>
#include <QtTest>
#include <RtMidi.h>
#include <jack/jack.h>

#include <atomic>
#include <optional>
#include <thread>

using Bytes = ByteVector;
using Fields = QVector<int>; // status, channel, pitch, velocity, then the SysEx bytes

class TestPorts : public QObject
{
    Q_OBJECT

private slots:
    void init() { debug.emplace(); } // after the test library's own handler
    // Every delivered message must be released, on the GUI thread.
    void cleanup()
    {
        if (serverDown) // the suite's later tests need it
            QVERIFY(fixture("start") && jackProbe().open());
        QCOMPARE(offGuiThread, 0);
        QVERIFY(TestWait::until([&] { return released == made; }));
        made = released = offGuiThread = 0;
        fromHard.clear();
        fromRemote.clear();
    }

    // Catches a callback reaching an input being destroyed (a crash, surely under
    // the sanitizers) and messages of a destroyed input never released (cleanup).
    void inputDestroyedUnderTraffic()
    {
        Peer peer("traffic");
        std::atomic<bool> stop{false};
        std::thread sender;
        bool arrived = true;
        for (int round = 0; round < 10 && arrived; ++round) {
            auto in = std::make_unique<QMidiIn>();
            record(*in, fromHard);
            in->openPort(unsigned(in->portNames().indexOf(peer.out())));
            if (round == 0) {
                peer.send({0x90, 0, 1}); // waits for the connection, once
                sender = std::thread([&] {
                    for (int n = 0; !stop; ++n) {
                        peer.send({0x90, static_cast<unsigned char>(n % 128), 1});
                        std::this_thread::sleep_for(std::chrono::microseconds(200));
                    }
                });
            }
            const int before = made;
            arrived = TestWait::until([&] { return made > before; });
            in.reset(); // open, while the library's thread delivers
        }
        stop = true;
        sender.join();
        QVERIFY(arrived);
    }

    // libjack can crash when a port goes while JACK still announces an earlier
    // graph change (see midi/jackgraph.h). Each port here is connected and at
    // once closed (by closePort, or with its object) and must go only after the
    // connection's announcement.
    void closesAfterGraphAnnouncements()
    {
        if (MidiService::isAlsa())
            QSKIP("about JACK's graph announcements");
        // Its libjack has no such race, and we do not wait there; 1.4 may tell
        // a connection's latency after the port has gone.
        if (MidiService::isPipeWire())
            QSKIP("about jackd's libjack");
        Peer peer("graph");
        for (int round = 0; round < 3; ++round) {
            auto in = std::make_unique<QMidiIn>();
            QMidiOut out;
            const QString port = round < 2 ? peer.out() : peer.in();
            jackProbe().settle(); // nothing earlier left to announce
            jackProbe().watch({port});
            if (round < 2)
                in->openPort(unsigned(in->portNames().indexOf(port)));
            else
                out.openPort(unsigned(out.portNames().indexOf(port)));
            round == 0 ? in->closePort() : round == 1 ? in.reset() : out.closePort();
            QVERIFY(TestWait::until([&] { return jackProbe().events().contains("-" + port); }));
            const QStringList events = jackProbe().events();
            const int announced = events.indexOf("latency", events.indexOf("+" + port));
            QVERIFY2(announced > 0 && announced < events.indexOf("-" + port),
                     qPrintable(events.join(' ')));
        }
        jackProbe().watch({});
    }

    // Catches an index past the end opening something (a name in other
    // letters is checked with the window's ports at start-up), messages off
    // the GUI thread, out of order, misdecoded, lost or never released (in a
    // flood of both inputs), SysEx passing a filter that drops it (or dropped
    // where let through), clock and active sensing delivered, wrong "channel"
    // lines.
    void receiving()
    {
        Peer peer("receive");
        QMidiIn hard, remote;
        QVERIFY_EXCEPTION_THROWN(hard.openPort(unsigned(hard.portNames().size())), RtMidiError);
        hard.ignoreTypes(false, true, true);
        record(hard, fromHard);
        record(remote, fromRemote);
        hard.openPort(unsigned(hard.portNames().indexOf(peer.out())));
        remote.openPort(unsigned(remote.portNames().indexOf(peer.out())));
        // PipeWire's connections come after jack_connect returns; sent before, MIDI is lost.
        QVERIFY(TestWait::until([&] { return jackProbe().connections(peer.out()).size() == 2; }));
        jackProbe().settle();
        QVector<Fields> sentRemote{{0x90, 2, 64, 127}, {0x80, 6, 60, 64}};
        QVector<Fields> sentHard = QVector<Fields>{{0xF0, 0, 0, 0, 0xF0, 0x7D, 0xF7}} + sentRemote;
        for (const Bytes &bytes : {Bytes{0xF8}, Bytes{0xFE}, Bytes{0xF0, 0x7D, 0xF7},
                                   Bytes{0x91, 64, 127}, Bytes{0x85, 60, 64}})
            peer.send(bytes);
        // The flood, numbered, in steps that a JACK cycle surely carries, each
        // taken by both inputs before the next: ALSA drops what a receiving
        // client's input pool cannot hold while its thread waits for a core.
        const int step = MidiService::isAlsa() ? 100 : 400;
        // Velocities from 1: PipeWire delivers a Note On at 0 as a Note Off.
        for (int i = 0; i < 4000; ++i) {
            const auto hi = static_cast<unsigned char>(i / 128 + 1),
                       lo = static_cast<unsigned char>(i % 128);
            peer.send(i % 10 ? Bytes{0x90, lo, hi} : Bytes{0xF0, hi, lo, 0xF7});
            sentHard << (i % 10 ? Fields{0x90, 1, lo, hi}
                                : Fields{0xF0, 0, 0, 0, 0xF0, hi, lo, 0xF7});
            if (i % 10)
                sentRemote << sentHard.last();
            if (i % step == step - 1)
                QVERIFY(TestWait::until([&] {
                    return fromHard.size() >= sentHard.size() &&
                           fromRemote.size() >= sentRemote.size();
                }));
        }
        QVERIFY(TestWait::until([&] { return fromRemote.size() >= sentRemote.size(); }));
        QCOMPARE(fromHard, sentHard);
        QCOMPARE(fromRemote, sentRemote);
        QCOMPARE(int(made), sentHard.size() + sentRemote.size());
        QStringList lines = debug->lines("channel");
        lines.sort();
        lines.removeDuplicates(); // the flood's are those of the first four
        QCOMPARE(lines, QStringList({"channel -11", "channel 0", "channel 1", "channel 96"}));
    }

    // Catches a SysEx whose F7 never came swallowing what follows (the pads
    // going dead) or being glued onto it (a reply the service cut read as the
    // next), a clock or a note between a SysEx's parts glued into it or losing
    // it, and a reply handed over in short parts (PipeWire 1.4: 7 bytes at
    // most) delivered piecemeal. Each byte list is one event; a note closes
    // every row.
    void unterminatedSysEx_data()
    {
        QTest::addColumn<QVector<Fields>>("sent");
        QTest::addColumn<QVector<Fields>>("delivered");
        const Fields reply{0xF0, 1, 2, 3, 4, 5, 6, 7, 8, 1, 5, 0xF7}, note{0x90, 0x36, 0x7F};
        const Fields noteIn{0x90, 1, 0x36, 0x7F}, replyIn = Fields{0xF0, 0, 0, 0} + reply;
        QTest::newRow("a note ends it")
            << QVector<Fields>{{0xF0, 0x7D, 1}, note} << QVector<Fields>{noteIn};
        QTest::newRow("a SysEx ends it") << QVector<Fields>{{0xF0, 0x7D, 1}, {0xF0, 0x7D, 2, 0xF7}}
                                         << QVector<Fields>{{0xF0, 0, 0, 0, 0xF0, 0x7D, 2, 0xF7}};
        QTest::newRow("a reply cut, a note, a reply")
            << QVector<Fields>{reply.mid(0, 10), note, reply} << QVector<Fields>{noteIn, replyIn};
        QTest::newRow("a reply between notes")
            << QVector<Fields>{note, reply, {0x91, 0x36, 0x7F}}
            << QVector<Fields>{noteIn, replyIn, {0x90, 2, 0x36, 0x7F}};
        QTest::newRow("a clock does not")
            << QVector<Fields>{{0xF0, 0x7D, 1}, {0xF8}, {2, 0xF7}}
            << QVector<Fields>{{0xF0, 0, 0, 0, 0xF0, 0x7D, 1, 2, 0xF7}};
        QTest::newRow("a note between its parts")
            << QVector<Fields>{reply.mid(0, 7), note, reply.mid(7)}
            << QVector<Fields>{noteIn, replyIn};
    }
    void unterminatedSysEx()
    {
        if (MidiService::isAlsa())
            QSKIP("about our JACK input; on ALSA, RtMidi assembles SysEx itself");
        QFETCH(QVector<Fields>, sent);
        QFETCH(QVector<Fields>, delivered);
        // PipeWire 1.4 drops an event that goes on with a SysEx: it never reaches us.
        static const bool dropsParts = QRegularExpression("PipeWire (1\\.[4-9]|[2-9]\\.)")
                                           .match(jack_get_version_string())
                                           .hasMatch();
        if (dropsParts && std::any_of(sent.begin(), sent.end(), [](const Fields &f) {
                return f.front() < 0x80 || f.front() == 0xF7;
            }))
            QSKIP("the service drops a SysEx's part sent on its own");
        Peer peer("sysex");
        QMidiIn in;
        in.ignoreTypes(false, true, true);
        record(in, fromHard);
        in.openPort(unsigned(in.portNames().indexOf(peer.out())));
        for (const Fields &bytes : sent + QVector<Fields>{{0x8F, 1, 2}})
            peer.send(Bytes(bytes.begin(), bytes.end()));
        const Fields last{0x80, 16, 1, 2};
        QVERIFY(TestWait::until([&] { return fromHard.contains(last); }));
        QCOMPARE(fromHard, delivered + QVector<Fields>{last});
    }

    // Catches a stopped server left unnoticed (ports shown open, sends that
    // wait for ever), a server started later not seen, and ports that do not
    // open again on the new server; then, there: an index past the end
    // accepted, the wrong port opened, sends on an output not open that wait
    // or are kept for later, and the note and raw sends changing bytes (those
    // of message objects are checked with the window's requests and notes).
    void serverStopsAndReturns()
    {
        if (MidiService::isAlsa())
            QSKIP("about the JACK server stopping; the ALSA sequencer is the kernel's");
        QMidiIn in;
        QMidiOut out;
        QSignalSpy inLost(&in, &QMidiIn::serviceLost), outLost(&out, &QMidiOut::serviceLost);
        in.ignoreTypes(false, true, true); // kept for the back end made anew
        {
            Peer peer("service");
            in.openPort(unsigned(in.portNames().indexOf(peer.out())));
            openTo(out, peer);
            jackProbe().close(); // a client of the stopped server would stop the next from opening
            QVERIFY(fixture("stop"));
        }
        QVERIFY(TestWait::until([&] { return inLost.size() == 1 && outLost.size() == 1; }));
        QVERIFY(!in.isPortOpen() && !out.isPortOpen());
        QMidiMessage sysEx; // the library's buffer would keep these for the port
        sysEx.setStatus(0xF0)->setSysExData(Bytes(64, 0xF0));
        for (int i = 0; i < 1000; ++i)
            out.sendMessage(&sysEx);
        QVERIFY_EXCEPTION_THROWN(out.openPort(0u), RtMidiError);
        QMidiIn later;
        QVERIFY(later.portNames().isEmpty() && in.portNames().isEmpty());

        QVERIFY(fixture("start") && jackProbe().open());
        Peer peer("service");
        QVERIFY(later.portNames().contains(peer.out()));
        record(in, fromHard);
        in.openPort(unsigned(in.portNames().indexOf(peer.out())));
        QVERIFY_EXCEPTION_THROWN(out.openPort(unsigned(out.portNames().size())), RtMidiError);
        for (int i = 0; i < 200; ++i)
            out.sendMessage(&sysEx);
        openTo(out, peer);
        Bytes raw{0xB3, 7, 100};
        out.sendNoteOn(1, 60, 100);
        out.sendNoteOff(16, 60, 0);
        out.sendRawMessage(raw);
        peer.send({0xF0, 0x7D, 0xF7});
        QVERIFY(peer.waitFor(3) && TestWait::until([&] { return fromHard.size() == 1; }));
        QCOMPARE(peer.received(), (std::vector<Bytes>{{0x90, 60, 100}, {0x8F, 60, 0}, raw}));
    }

private:
    // Counts the messages made (on the library's thread, so also those whose port
    // object goes before its queued slot runs) and released; lists the delivered.
    void record(QMidiIn &in, QVector<Fields> &list)
    {
        connect(&in, &QMidiIn::midiMessageReceived, [this](QMidiMessage *message) {
            ++made;
            connect(message, &QObject::destroyed, [this] { ++released; });
        });
        connect(&in, &QMidiIn::midiMessageReceived, this, [this, &list](QMidiMessage *m) {
            offGuiThread += m->thread() != thread() || QThread::currentThread() != thread();
            list << Fields{m->status(), m->channel(), m->pitch(), m->velocity()};
            for (unsigned char byte : m->sysExData())
                list.last() << byte;
        });
    }

    // Opens the peer's input by its index; returns once the connection carries MIDI.
    static void openTo(QMidiOut &out, const Peer &peer)
    {
        out.openPort(unsigned(out.portNames().indexOf(peer.in())));
        jackProbe().waitConnected(peer.in());
        jackProbe().settle();
    }

    bool fixture(const char *action)
    {
        const bool done = QProcess::execute(qEnvironmentVariable("TARN_JACK_FIXTURE"),
                                            {action, qEnvironmentVariable("JACK_DEFAULT_SERVER"),
                                             qEnvironmentVariable("TARN_JACK_PIDFILE")}) == 0;
        serverDown = !done || qstrcmp(action, "start") != 0;
        return done;
    }

    std::optional<DebugCapture> debug;
    std::atomic<int> made{0}, released{0};
    QVector<Fields> fromHard, fromRemote; // what two inputs delivered
    int offGuiThread = 0;
    bool serverDown = false;
};

QTEST_GUILESS_MAIN(TestPorts)
#include "tst_ports.moc"
