// A port must not go while JACK is still telling its clients about an earlier
// change of the graph (libjack can then crash). A client of the test's own,
// on a JACK server with no other clients, records what the server tells it
// and in which order.
#include "jackgraph.h"
#include "midipeer.h"
#include "privatejackserver.h"
#include "qmidiin.h"
#include "qmidiout.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include <jack/jack.h>

#include <memory>
#include <mutex>

namespace {

// Records, on its notification thread, each latency announcement ('L') and
// each port that goes ('U').
class GraphProbe
{
public:
    GraphProbe()
    {
        client = jack_client_open("graph-probe", JackNoStartServer, nullptr);
        if (!client)
            return;
        // Only a client that takes part in the cycles is told about latencies.
        jack_set_process_callback(
            client, [](jack_nframes_t, void *) { return 0; }, nullptr);
        jack_set_latency_callback(client, &GraphProbe::onLatency, this);
        jack_set_port_registration_callback(client, &GraphProbe::onRegistration, this);
        jack_activate(client);
    }
    ~GraphProbe()
    {
        if (client)
            jack_client_close(client);
    }

    jack_client_t *jackClient() const { return client; }
    QString events() const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return QString::fromStdString(seen);
    }
    void clear()
    {
        std::lock_guard<std::mutex> lock(mutex);
        seen.clear();
    }

private:
    void record(char event)
    {
        std::lock_guard<std::mutex> lock(mutex);
        seen += event;
    }
    static void onLatency(jack_latency_callback_mode_t, void *self)
    {
        static_cast<GraphProbe *>(self)->record('L');
    }
    static void onRegistration(jack_port_id_t, int registered, void *self)
    {
        if (!registered)
            static_cast<GraphProbe *>(self)->record('U');
    }

    jack_client_t *client = nullptr;
    mutable std::mutex mutex;
    std::string seen;
};

// The events once nothing has happened for a while.
QString settledEvents(const GraphProbe &probe)
{
    QString events = probe.events();
    for (int quiet = 0; quiet < 3;) {
        QTest::qWait(100);
        const QString now = probe.events();
        quiet = now == events ? quiet + 1 : 0;
        events = now;
    }
    return events;
}

// True when the port went ('U') only after the announcements of the change
// before it (capture and playback latencies, 'L' 'L', possibly more).
bool wentAfterAnnouncements(const GraphProbe &probe)
{
    const QString events = settledEvents(probe);
    const bool inOrder = events.startsWith("LL") && events.contains('U');
    if (!inOrder)
        qWarning("events: %s", qPrintable(events));
    return inOrder;
}

} // namespace

class TestJackGraph : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        server.makeDefault();
        QVERIFY2(server.start(), qPrintable(server.failure()));
    }

    void cleanupTestCase() { QVERIFY(server.stop()); }

    // Connecting a port is announced a cycle later; a port closed at once
    // must wait for that announcement, and so must one that goes with its
    // object. The output side waits the same way.
    void portsGoOnlyAfterEarlierChangesWereAnnounced()
    {
        GraphProbe probe;
        QVERIFY(probe.jackClient());
        MidiPeer peer("graph-peer");
        const auto opened = [&](QMidiIn &in) {
            in.openPort(peer.outputPortName());
            return in.isPortOpen();
        };
        for (int round = 0; round < 3; ++round) {
            auto in = std::make_unique<QMidiIn>();
            QMidiOut out;
            // Nothing of the objects' own making may be left to announce.
            settledEvents(probe);

            probe.clear();
            QVERIFY(opened(*in));
            in->closePort();
            QVERIFY(wentAfterAnnouncements(probe));

            probe.clear();
            QVERIFY(opened(*in));
            in.reset();
            QVERIFY(wentAfterAnnouncements(probe));

            probe.clear();
            out.openPort(unsigned(out.portNames().indexOf(peer.inputPortName())));
            QVERIFY(out.isPortOpen());
            out.closePort();
            QVERIFY(wentAfterAnnouncements(probe));
        }
        // Closing what was never opened waits for nothing.
        QMidiIn idle;
        QElapsedTimer timer;
        timer.start();
        idle.closePort();
        QVERIFY(timer.elapsed() < 20);
    }

    // The wait is bounded: a server that has gone answers nothing. A port
    // object made before the server stopped opens on the new one and waits
    // there too.
    void serverRestart()
    {
        QMidiIn in;
        QSignalSpy lost(&in, &QMidiIn::serviceLost);
        {
            GraphProbe early;
            QVERIFY(early.jackClient());
            QVERIFY(server.stop());
            QElapsedTimer timer;
            timer.start();
            JackGraph::awaitAnnouncements(early.jackClient());
            QVERIFY2(timer.elapsed() < 1500, qPrintable(QString::number(timer.elapsed())));
        }
        // No client of the new server may open while one of the old is left.
        QTRY_VERIFY(lost.count() > 0);
        QVERIFY2(server.start(), qPrintable(server.failure()));

        GraphProbe probe;
        QVERIFY(probe.jackClient());
        MidiPeer peer("graph-peer");
        QStringList names;
        QTRY_VERIFY((names = in.portNames()).contains(peer.outputPortName()));
        settledEvents(probe);
        probe.clear();
        in.openPort(peer.outputPortName());
        QVERIFY(in.isPortOpen());
        in.closePort();
        QVERIFY(wentAfterAnnouncements(probe));
    }

private:
    PrivateJackServer server{REL_JACK_SERVER, REL_JACK_PIDFILE};
};

QTEST_MAIN(TestJackGraph)
#include "tst_jackgraph.moc"
