// Devices that vanish and return while the window runs, on the suite's
// server: the simulator's unit and pads unplugged and plugged back in, and
// ports flapping faster than the window can look. Main thread; the flapping
// runs on a thread of its own, as a device would, beside the event loop.

#include "hardsettingdialog.h"
#include "jackprobe.h"
#include "midiportsupport.h"
#include "midiservice.h"
#include "peer.h"
#include "qmidiin.h"
#include "qmidiout.h"
#include "tarnappmainwindow.h"
#include "testwait.h"
#include "windowbench.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <jack/jack.h>

#include <atomic>
#include <thread>

namespace {

// The serial requests among what a unit received, as the unit understands them.
int serialRequests(Peer &unit)
{
    SimulatedUnit judge(Peer::serial);
    int count = 0;
    for (const ByteVector &message : unit.received())
        count += judge.receive(message).reply == judge.serialReply();
    return count;
}

bool linked(TarnAppMainWindow &window)
{
    return TestWait::until([&] { return window.linkStatus() == TarnAppMainWindow::Complete; });
}

// What the user sees of the unit: the lamp (grey or not) and the message line.
bool showsNoPort(TarnAppMainWindow &window)
{
    return TestWait::until([&] {
        return window.linkStatus() == TarnAppMainWindow::NoPort &&
               !window.presetButton(0)->isEnabled();
    });
}

} // namespace

class TestComeAndGo : public QObject
{
    Q_OBJECT

private slots:
    void storedNameMatches_data();
    void storedNameMatches();
    void unitVanishesAndReturns();
    void padsVanishAndReturn();
    void deviceSwitchedOnLaterConnects();
    void otherNameOpensNothing();
    void flappingEndsConnectedOnce();
    void dialogListsFollow();
};

void TestComeAndGo::storedNameMatches_data()
{
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("found");
    const QString unit = "unit:unit MIDI 1 24:0";
    QTest::newRow("exact") << QStringList{"unit:unit MIDI 1 25:0", unit} << unit << unit;
    QTest::newRow("numbers moved")
        << QStringList{"x:y 14:0", "unit:unit MIDI 1 28:0"} << unit << "unit:unit MIDI 1 28:0";
    QTest::newRow("two candidates")
        << QStringList{"unit:unit MIDI 1 28:0", "unit:unit MIDI 1 29:0"} << unit << "";
    QTest::newRow("other port") << QStringList{"unit:unit MIDI 2 24:1"} << unit << "";
    QTest::newRow("no numbers") << QStringList{"sim Out:out 1:0"} << "sim Out:out"
                                << "";
    QTest::newRow("nothing stored") << QStringList{"a:b 1:0"} << ""
                                    << "";
}

void TestComeAndGo::storedNameMatches()
{
    QFETCH(QStringList, present);
    QFETCH(QString, stored);
    QFETCH(QString, found);
    QCOMPARE(MidiPortSupport::presentName(present, stored), found);
}

void TestComeAndGo::unitVanishesAndReturns()
{
    Peer unit("cg-unit", Peer::Unit);
    WindowBench bench(WindowBench::ports(&unit, nullptr));
    TarnAppMainWindow &window = bench.window();
    QVERIFY(linked(window));
    const auto portCount = [&] {
        return window.hardIn()->portNames().size() + window.hardOut()->portNames().size();
    };
    const int ports = portCount();
    for (int round = 0; round < 20; ++round) {
        unit.unplug();
        QVERIFY(showsNoPort(window));
        // Unconfigured, the remote lamp is grey: the unit's must look the same.
        QCOMPARE(window.hardLamp()->styleSheet(), window.remoteLamp()->styleSheet());
        unit.clear();
        unit.plug();
        QVERIFY2(linked(window), qPrintable(QString("round %1, status %2, requests %3")
                                                .arg(round)
                                                .arg(window.linkStatus())
                                                .arg(serialRequests(unit))));
        QCOMPARE(serialRequests(unit), 1);
        QVERIFY(window.messageLabel()->text().contains("0A 1B 2C 3D 4E 5F 60 71"));
    }
    QCOMPARE(portCount(), ports); // nothing of the closed connections is left behind
}

void TestComeAndGo::padsVanishAndReturn()
{
    Peer unit("cg-unit", Peer::Unit);
    Peer pads("cg-pads", Peer::Pads);
    unit.unit().choosePreset(4);
    WindowBench bench(WindowBench::ports(&unit, &pads));
    TarnAppMainWindow &window = bench.window();
    QVERIFY(linked(window));
    QVERIFY(TestWait::until([&] { return pads.received().size() == 6; }));
    QVERIFY(pads.pads().isLit(3));
    const QString lit = window.remoteLamp()->styleSheet();

    pads.unplug();
    QVERIFY(TestWait::until([&] { return window.remoteLamp()->styleSheet() != lit; }));
    QCOMPARE(window.linkStatus(), int(TarnAppMainWindow::Complete));
    pads.pads() = SimulatedPads();
    pads.clear();
    unit.clear();
    pads.plug();
    QVERIFY(pads.waitFor(6));
    QVERIFY(pads.pads().isLit(3));
    QCOMPARE(window.remoteLamp()->styleSheet(), lit);
    QCOMPARE(serialRequests(unit), 0); // the unit's connection is not touched
}

void TestComeAndGo::deviceSwitchedOnLaterConnects()
{
    Peer unit("cg-unit", Peer::Unit);
    unit.unplug();
    WindowBench bench(WindowBench::ports(&unit, nullptr));
    QVERIFY(showsNoPort(bench.window()));
    unit.plug();
    QVERIFY(linked(bench.window()));
    QCOMPARE(serialRequests(unit), 1);
}

void TestComeAndGo::otherNameOpensNothing()
{
    Peer unit("cg-unit", Peer::Unit);
    Peer pads("cg-pads", Peer::Pads);
    unit.unplug();
    pads.unplug();
    WindowBench bench(WindowBench::ports(&unit, &pads));
    TarnAppMainWindow &window = bench.window();
    const QString grey = window.remoteLamp()->styleSheet();
    Peer other("cg-other", Peer::Unit);
    // Announced after the other device, so looked at after it too.
    pads.plug();
    QVERIFY(TestWait::until([&] { return window.remoteLamp()->styleSheet() != grey; }));
    QCOMPARE(window.linkStatus(), int(TarnAppMainWindow::NoPort));
    QVERIFY(other.received().empty());
    QVERIFY(jackProbe().connections(other.in()).isEmpty());
}

void TestComeAndGo::flappingEndsConnectedOnce()
{
    if (MidiService::isAlsa())
        QSKIP("its device is a JACK client of its own");
    // A device of one client whose ports vanish and return with it.
    struct Flapper
    {
        jack_client_t *client = jack_client_open("cg-flap", JackUseExactName, nullptr);
        jack_port_t *in =
            jack_port_register(client, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
        ~Flapper() { jack_client_close(client); }
    } device;
    QVERIFY(device.in);
    jack_port_register(device.client, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    Peer pads("cg-pads", Peer::Pads);
    pads.unplug();
    QVariantMap ports = WindowBench::ports(nullptr, &pads);
    ports["HardwareMidiInPort"] = "cg-flap:out";
    ports["HardwareMidiOutPort"] = "cg-flap:in";
    WindowBench bench(ports);
    TarnAppMainWindow &window = bench.window();
    const QString grey = window.remoteLamp()->styleSheet();

    // Deactivating takes the ports away from everyone, as unplugging does;
    // the window goes on with its event loop meanwhile.
    std::atomic<bool> done{false};
    std::thread flapping([&] {
        for (int i = 0; i < 200; ++i) {
            jack_activate(device.client);
            jack_deactivate(device.client);
        }
        done = true;
    });
    TestWait::until([&] { return done.load(); }, 60000);
    flapping.join();
    QVERIFY(showsNoPort(window));
    bench.log().clear();
    jack_activate(device.client);
    // Announced after the return, so looked at after it.
    pads.plug();
    QVERIFY(TestWait::until([&] { return window.remoteLamp()->styleSheet() != grey; }));
    QCOMPARE(window.linkStatus(), int(TarnAppMainWindow::WaitSerial));
    QCOMPARE(jackProbe().connections("cg-flap:in").size(), 1);
    SimulatedUnit judge(Peer::serial);
    int requests = 0;
    for (const QString &line : bench.traffic()) {
        const QByteArray bytes = QByteArray::fromHex(line.mid(9).toLatin1());
        requests +=
            judge.receive(ByteVector(bytes.begin(), bytes.end())).reply == judge.serialReply();
    }
    QCOMPARE(requests, 1);
}

void TestComeAndGo::dialogListsFollow()
{
    Peer unit("cg-unit", Peer::Unit);
    WindowBench bench(WindowBench::ports(&unit, nullptr));
    QVERIFY(linked(bench.window()));
    bench.window().settingDialog()->show();
    auto *hardIn = bench.dialogWidget<QComboBox>("comboHardMidiIn");
    QCOMPARE(hardIn->currentText(), unit.out());

    // A choice not yet applied survives ports that come and go.
    auto newcomer = std::make_unique<Peer>("cg-new");
    QVERIFY(TestWait::until([&] { return hardIn->findText(newcomer->out()) >= 0; }));
    QCOMPARE(hardIn->currentText(), unit.out());
    hardIn->setCurrentIndex(hardIn->findText(newcomer->out()));
    Peer other("cg-other");
    QVERIFY(TestWait::until([&] { return hardIn->findText(other.out()) >= 0; }));
    QCOMPARE(hardIn->currentText(), newcomer->out());
    const QString gone = newcomer->out();
    newcomer.reset();
    QVERIFY(TestWait::until([&] { return hardIn->findText(gone) < 0; }));
    QCOMPARE(hardIn->currentText(), gone + " (not connected)");
    bench.window().settingDialog()->close();
}

QTEST_MAIN(TestComeAndGo)
#include "tst_comeandgo.moc"
