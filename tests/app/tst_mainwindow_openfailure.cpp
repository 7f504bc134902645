// Start-up when the MIDI library throws while opening a configured port. The
// library throws when the server's port table is full; filling the table of
// the suite's shared server would upset the tests that run beside this one,
// so this process uses a small server of its own, and only that one (one
// process cannot hold clients of two JACK servers).
#include "configsandbox.h"
#include "debugcapture.h"
#include "hardmessages.h"
#include "midipeer.h"
#include "modalanswerer.h"
#include "privatejackserver.h"
#include "qmidiin.h"
#include "qmidiout.h"
#include "rawjackclient.h"
#include "tarnappmainwindow.h"

#include <QLabel>
#include <QTest>

#include <memory>

class TestMainWindowOpenFailure : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        server.reset(new PrivateJackServer(FULL_SERVER_NAME, FULL_SERVER_PIDFILE, 32));
        QVERIFY2(server->start(), qPrintable(server->failure()));
        server->makeDefault();
    }
    void cleanupTestCase() { server.reset(); }

    // Each pair opens what it can, the error goes no further, the remote pair
    // is tried whatever happened to the hardware pair, and the status display
    // shows the outcome.
    void failuresToOpenAreSwallowed_data()
    {
        QTest::addColumn<int>("freeSlots");
        QTest::addColumn<QVector<bool>>("open"); // hard in, hard out, remote in, remote out
        QTest::newRow("hard input fails") << 0 << QVector<bool>{false, false, false, false};
        QTest::newRow("hard output fails") << 1 << QVector<bool>{true, false, false, false};
        QTest::newRow("remote input fails") << 2 << QVector<bool>{true, true, false, false};
        QTest::newRow("remote output fails") << 3 << QVector<bool>{true, true, true, false};
        QTest::newRow("room for all") << 4 << QVector<bool>{true, true, true, true};
    }
    void failuresToOpenAreSwallowed()
    {
        QFETCH(int, freeSlots);
        QFETCH(QVector<bool>, open);
        ConfigSandbox sandbox;
        QVERIFY(sandbox.isValid());
        MidiPeer unit("shell-unit");
        MidiPeer pad("shell-pad");
        ConfigSandbox::writePorts(unit.outputPortName(), unit.inputPortName(), pad.outputPortName(),
                                  pad.inputPortName());
        RawJackClient filler("shell-filler");
        QVERIFY(filler.fillLeaving(freeSlots));

        ModalAnswerer closer;
        DebugCapture capture;
        TarnAppMainWindow window;
        window.initialize();
        QCOMPARE(window.hardIn()->isPortOpen(), open[0]);
        QCOMPARE(window.hardOut()->isPortOpen(), open[1]);
        QCOMPARE(window.remoteIn()->isPortOpen(), open[2]);
        QCOMPARE(window.remoteOut()->isPortOpen(), open[3]);
        const QStringList request{"Send   : " + toHexString(makeSerialRequest(), QLatin1Char(' '))};
        QCOMPARE(capture.lines("Send   : "), open[1] ? request : QStringList());
        QCOMPARE(window.linkStatus(),
                 int(open[1] ? TarnAppMainWindow::WaitSerial : TarnAppMainWindow::NoPort));
        QCOMPARE(window.messageLabel()->text() == "Please set midi port to the setting.", !open[1]);
        QCOMPARE(closer.titles(), QStringList());
    }

private:
    std::unique_ptr<PrivateJackServer> server;
};

QTEST_MAIN(TestMainWindowOpenFailure)
#include "tst_mainwindow_openfailure.moc"
