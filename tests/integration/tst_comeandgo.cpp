// Devices that vanish and return while the window runs, on the suite's
// server: the simulator's unit and pads unplugged and plugged back in, and
// ports flapping faster than the window can look. Main thread; the flapping
// runs on a thread of its own, as a device would, beside the event loop.

#include "hardsettingdialog.h"
#include "jackmidiclient.h"
#include "jackprobe.h"
#include "midiservice.h"
#include "modalanswerer.h"
#include "peer.h"
#include "portpair.h"
#include "qmidiout.h"
#include "testwait.h"
#include "windowbench.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <jack/jack.h>

#include <atomic>
#include <optional>
#include <thread>

const QString SerialRequest = "Send   : F0 00 11 22 0A 00 00 00 00 02 00 F7";

// What the user sees of an absent unit: the status and the buttons disabled.
static bool showsNoPort(WindowBench &bench)
{
    return TestWait::until([&] {
        return bench.window().link().hardStatus() == HardwareLink::HardStatus::NoPort &&
               !bench.presetButton(0)->isEnabled();
    });
}

// The foot switch on the pads' controller 64, choosing PRESET4.
static QVariantMap withPedal(QVariantMap setting)
{
    setting["RemoteFootSwitch"] = "cc any 64";
    setting["FootSwitchIndex"] = 4;
    return setting;
}

// The pedal, pressed down, asks the unit for PRESET4.
static bool pedalChooses(Peer &unit, Peer &pads)
{
    unit.clear();
    pads.send({0xB0, 64, 127});
    return unit.waitFor(1) && unit.received().back() == makePresetRequest(Peer::serial, 3);
}

// The Qt Test cases of this file; GUI thread.
class TestComeAndGo : public QObject
{
    Q_OBJECT

private slots:
    // The pads come back lit as the unit last told, without the unit being
    // asked again; the unit comes back linked after one serial request, its
    // lamp while away looking as the pads' did. Nothing of the closed
    // connections is left behind; another device is not opened, nor is one
    // pair's port taken by the other, when their names differ only in
    // ALSA's numbers. A pedal unplugged while down presses anew once back
    // (catches a controller's value kept from the old connection).
    void devicesVanishAndReturn_data()
    {
        QTest::addColumn<QStringList>("names"); // the unit, the pads, another unit
        QTest::addColumn<bool>("otherFirst");   // the other there from the start
        QTest::newRow("names of their own")
            << QStringList{"cg-unit", "cg-pads", "cg-other"} << false;
        QTest::newRow("pads on a look-alike cable")
            << QStringList{"cg-twin 24:0", "cg-twin 28:0", "cg-other"} << false;
        QTest::newRow("second unit on a look-alike cable")
            << QStringList{"cg-twin 24:0", "cg-pads", "cg-twin 31:0"} << true;
    }

    void devicesVanishAndReturn()
    {
        QFETCH(QStringList, names);
        QFETCH(bool, otherFirst);
        Peer unit(names[0], Peer::Unit), pads(names[1], Peer::Pads);
        std::unique_ptr<Peer> other;
        if (otherFirst)
            other = std::make_unique<Peer>(names[2], Peer::Unit);
        unit.unit().choosePreset(4);
        WindowBench bench(withPedal(WindowBench::ports(&unit, &pads)));
        const HardwareLink &link = bench.window().link();
        const auto complete = [&] {
            return link.hardStatus() == HardwareLink::HardStatus::Complete;
        };
        QVERIFY(TestWait::until(complete));
        const auto portCount = [&] {
            return link.ports()->portNames(PortPair::End::In).size() * 2;
        };
        const int ports = portCount();
        const QLabel *lamp = bench.widget<QLabel>("labelRemoteLamp");
        const QString lit = lamp->styleSheet();
        for (int round = 0; round < 3; ++round) {
            QVERIFY(pedalChooses(unit, pads)); // and unplugged before its release
            pads.unplug();
            QVERIFY(TestWait::until([&] { return lamp->styleSheet() != lit; }));
            const QString away = lamp->styleSheet();
            pads.pads() = SimulatedPads();
            pads.clear();
            bench.log().clear();
            pads.plug();
            QVERIFY(pads.waitFor(6));
            QVERIFY(pads.pads().isLit(3));
            QCOMPARE(lamp->styleSheet(), lit);
            QCOMPARE(bench.traffic().count(SerialRequest), 0);
            QVERIFY(pedalChooses(unit, pads));
            pads.send({0xB0, 64, 0});

            unit.unplug();
            QVERIFY(showsNoPort(bench));
            QCOMPARE(bench.widget<QLabel>("labelHardLamp")->styleSheet(), away);
            if (!other)
                other = std::make_unique<Peer>(names[2], Peer::Unit);
            unit.plug();
            QVERIFY(TestWait::until(complete));
            QCOMPARE(bench.traffic().count(SerialRequest), 1);
        }
        // No serial request went to the pads; the other unit got nothing.
        for (const ByteVector &message : pads.received())
            QVERIFY(message.front() != 0xF0);
        QVERIFY(other->received().empty());
        // The other device's two ports are new; nothing of ours is left behind.
        QCOMPARE(portCount(), ports + (otherFirst ? 0 : 2));
        QVERIFY(jackProbe().connections(other->in()).isEmpty());
    }

    // Ports flapping faster than the window looks end connected once, asked once.
    void flappingEndsConnectedOnce()
    {
        if (MidiService::isAlsa())
            QSKIP("its device is a JACK client of its own");
        if (MidiService::isPipeWire())
            QSKIP("PipeWire keeps a deactivated client's ports: deactivating is no unplugging");
        jack_client_t *client = jack_client_open("cg-flap", JackUseExactName, nullptr);
        QVERIFY(client);
        std::unique_ptr<jack_client_t, int (*)(jack_client_t *)> device(client, jack_client_close);
        jack_port_register(client, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
        jack_port_register(client, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
        Peer pads("cg-pads", Peer::Pads);
        pads.unplug();
        QVariantMap ports = WindowBench::ports(nullptr, &pads);
        ports["HardwareMidiInPort"] = "cg-flap:out";
        ports["HardwareMidiOutPort"] = "cg-flap:in";
        WindowBench bench(ports);
        const QLabel *lamp = bench.widget<QLabel>("labelRemoteLamp");
        const QString grey = lamp->styleSheet();

        // Deactivating takes the ports away from everyone, as unplugging
        // does; the window goes on with its event loop meanwhile.
        std::atomic<bool> done{false};
        std::thread flapping([&] {
            for (int i = 0; i < 50; ++i) {
                jack_activate(client);
                jack_deactivate(client);
            }
            done = true;
        });
        TestWait::until([&] { return done.load(); }, 60000);
        flapping.join();
        QVERIFY(showsNoPort(bench));
        bench.log().clear();
        jack_activate(client);
        // Announced after the return, so looked at after it.
        pads.plug();
        QVERIFY(TestWait::until([&] { return lamp->styleSheet() != grey; }));
        QCOMPARE(jackProbe().connections("cg-flap:in").size(), 1);
        QCOMPARE(bench.traffic().count(SerialRequest), 1);
    }

    // A choice not yet applied survives ports that come and go.
    void dialogListsFollow()
    {
        Peer unit("cg-unit", Peer::Unit);
        WindowBench bench(WindowBench::ports(&unit, nullptr));
        bench.widget<HardSettingDialog>("HardSettingDialog")->show();
        auto *hardIn = bench.widget<QComboBox>("comboHardMidiIn");
        auto newcomer = std::make_unique<Peer>("cg-new");
        QVERIFY(TestWait::until([&] { return hardIn->findText(newcomer->out()) >= 0; }));
        QCOMPARE(hardIn->currentText(), unit.out());
        hardIn->setCurrentIndex(hardIn->findText(newcomer->out()));
        const QString gone = newcomer->out();
        newcomer.reset();
        QVERIFY(TestWait::until([&] { return hardIn->findText(gone) < 0; }));
        QCOMPARE(hardIn->currentText(), gone + " (not connected)");
    }

    // The suite's JACK server stops and starts, three times: each time the
    // unit, which loses the first request on the new server, is linked again
    // by itself after the serial request asked again. Catches a watch left
    // with no client after a loss, no look once the server is back, a request
    // lost there never asked again, and a pedal down at the stop that is not
    // a press once back.
    void serverRestarts()
    {
        const QString pidFile = qEnvironmentVariable("TARN_JACK_PIDFILE");
        if (MidiService::isAlsa() || !QFile::exists(pidFile))
            QSKIP("it stops and starts the suite's own JACK server");
        bool down = false;
        const auto fixture = [&](const char *action) {
            down = qstrcmp(action, "start") != 0;
            return QProcess::execute(
                       qEnvironmentVariable("TARN_JACK_FIXTURE"),
                       {action, qEnvironmentVariable("JACK_DEFAULT_SERVER"), pidFile}) == 0;
        };
        const auto restart = qScopeGuard([&] {
            if (down)
                fixture("start");
            jackProbe().open();
        });
        std::optional<Peer> unit(std::in_place, "cg-unit", Peer::Unit);
        std::optional<Peer> pads(std::in_place, "cg-pads", Peer::Pads);
        WindowBench bench(withPedal(WindowBench::ports(&*unit, &*pads)));
        const HardwareLink &link = bench.window().link();
        const auto complete = [&] {
            return link.hardStatus() == HardwareLink::HardStatus::Complete;
        };
        QVERIFY(TestWait::until(complete));
        for (int round = 0; round < 3; ++round) {
            QVERIFY(pedalChooses(*unit, *pads)); // and the server stops before its release
            std::weak_ptr<JackMidiClient> old = JackMidiClient::shared("tarn-tests");
            jackProbe()
                .close(); // libjack opens no client of a new server while one of the old is left
            QVERIFY(fixture("stop"));
            QVERIFY(showsNoPort(bench));
            if (round == 0) {
                // Sends on ports whose server stopped reach no driver, so none fails aloud.
                ModalAnswerer answerer;
                QMidiOut *outs[] = {bench.window().link().ports()->out(),
                                    bench.window().pads().ports()->out()};
                for (QMidiOut *out : outs)
                    out->failSendsWith("sent to a stopped server");
                bench.window().link().sendMidiHard(makeSerialRequest());
                bench.window().pads().showPreset(0);
                for (QMidiOut *out : outs)
                    out->failSendsWith(QString());
                QCOMPARE(answerer.seen(), QStringList());
            }
            unit.reset();
            pads.reset();
            QVERIFY(TestWait::until([&] { return old.expired(); }));
            bench.log().clear();
            QVERIFY(fixture("start"));
            unit.emplace("cg-unit", Peer::Unit); // the names it had: first on the new server
            unit->unit().setDropFirst(1);
            pads.emplace("cg-pads", Peer::Pads);
            QVERIFY(TestWait::until(complete));
            QCOMPARE(bench.traffic().count(SerialRequest), 2);
            QCOMPARE(bench.log().lines("Link   :"),
                     QStringList{"Link   : no answer to the serial request, asking again"});
            QVERIFY(pads->waitFor(6)); // lit: the pads are connected again
            QVERIFY(pedalChooses(*unit, *pads));
            pads->send({0xB0, 64, 0});
        }
    }
};

QTEST_MAIN(TestComeAndGo)
#include "tst_comeandgo.moc"
