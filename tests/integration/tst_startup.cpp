// Start-up against the suite's MIDI service: which configured port pairs
// open and what the unit hears then. Main thread.

#include "jackprobe.h"
#include "midiservice.h"
#include "peer.h"
#include "portpair.h"
#include "windowbench.h"

#include <QtTest>

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    // Names: u/p the unit's or the pads' port, U in capitals, x none such
    // (an empty name is none such too); free: ports left in the server's
    // table, so that the library fails to open the rest. Catches a pair opened on a wrong name, a
    // failure that escapes or stops the other pair, and a serial request
    // where no whole pair to the unit is open.
    void pairs_data()
    {
        QTest::addColumn<QString>("names"); // hardware in, out, remote in, out
        QTest::addColumn<int>("free");      // -1: no limit
        QTest::addColumn<QString>("open");
        QTest::newRow("hardware output missing") << "uxpp" << -1 << "--oo";
        QTest::newRow("hardware input in capitals") << "Uupp" << -1 << "--oo";
        QTest::newRow("remote input missing") << "uuxp" << -1 << "oo--";
        QTest::newRow("one port free") << "uupp" << 1 << "o---";
    }
    void pairs()
    {
        QFETCH(QString, names);
        QFETCH(int, free);
        QFETCH(QString, open);
        QVariantMap setting = WindowBench::ports(&unit, &pads);
        const QStringList keys = setting.keys(); // HardwareIn, HardwareOut, RemoteIn, RemoteOut
        for (int i = 0; i < 4; ++i)
            if (names[i] == 'x' || names[i] == 'U')
                setting[keys[i]] =
                    names[i] == 'x' ? "h11a-nobody:port" : setting[keys[i]].toString().toUpper();
        if (free >= 0 && (MidiService::isAlsa() || MidiService::isPipeWire()))
            QSKIP("fills jackd's port table, which ALSA and PipeWire do not have");
        QVERIFY(free < 0 || jackProbe().fill(free));
        WindowBench bench(setting);
        jackProbe().unfill();
        const HardwareLink &link = bench.window().link();
        QString seen;
        for (const PortPair *pair : {link.ports(), bench.window().pads().ports()})
            for (PortPair::End end : {PortPair::End::In, PortPair::End::Out})
                seen += pair->openedName(end).isEmpty() ? '-' : 'o';
        QCOMPARE(seen, open);
        // Connected to the very ports named; where the unit's input has no
        // connection, nothing can reach it.
        for (const auto &[port, side] : {std::pair{unit.in(), open[1]}, {pads.out(), open[2]}})
            QVERIFY(side == 'o' ? jackProbe().waitConnected(port)
                                : jackProbe().connections(port).isEmpty());
        const bool linked = open.startsWith("oo");
        QCOMPARE(link.hardStatus() == HardwareLink::HardStatus::WaitSerial, linked);
        const QString request = "Send   : " + toHexString(makeSerialRequest(), ' ');
        QCOMPARE(bench.traffic(), linked ? QStringList{request} : QStringList());
    }

    // Opening the input adds a port to the list the output is chosen from;
    // with free slots below the device's ports, it sorts first, and a
    // position taken before would open the wrong port.
    void outputLookedUpAfterInput()
    {
        if (MidiService::isAlsa() || MidiService::isPipeWire())
            QSKIP("fills jackd's port table, which ALSA and PipeWire do not have");
        QVERIFY(jackProbe().fill(2));
        Peer device("h11a-late");
        jackProbe().unfill();
        WindowBench bench(WindowBench::ports(&device, nullptr));
        QVERIFY(jackProbe().waitConnected(device.in()));
    }

    void cleanup() { jackProbe().unfill(); }

private:
    Peer unit{"h11a-unit"};
    Peer pads{"h11a-pads"};
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
