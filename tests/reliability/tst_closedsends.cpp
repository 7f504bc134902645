// Sends while the unit's output port is closed: the program drops them and
// must never block, however many come.
#include "appsetting.h"
#include "debugcapture.h"
#include "midipeer.h"
#include "qmidiin.h"
#include "qmidiout.h"
#include "tarnappmainwindow.h"
#include "testwait.h"

#include <QElapsedTimer>
#include <QtTest>

#include <memory>

class TestClosedSends : public QObject
{
    Q_OBJECT
private slots:
    void footSwitchFloodWithHardwareClosed_data();
    void footSwitchFloodWithHardwareClosed();
};

void TestClosedSends::footSwitchFloodWithHardwareClosed_data()
{
    QTest::addColumn<QString>("hardwarePort");
    QTest::newRow("hardware ports not set") << QString();
    QTest::newRow("hardware ports not found") << QString("rel-unplugged:port");
}

void TestClosedSends::footSwitchFloodWithHardwareClosed()
{
    QFETCH(QString, hardwarePort);
    const int presses = 5000;
    // The foot switch stands for PRESET2; no serial number is held.
    const QString request = "Send   : F0 02 06 01 07 F7";
    const MidiPeer::Bytes footSwitch{0x90, 69, 0};

    MidiPeer pads("rel-pads");
    AppSetting setting;
    setting.setHardwareMidiInPort(hardwarePort);
    setting.setHardwareMidiOutPort(hardwarePort);
    setting.setRemoteMidiInPort(pads.outputPortName());
    setting.setRemoteMidiOutPort(pads.inputPortName());
    setting.setFootSwitchIndex(2);
    setting.saveSettingFile(TarnAppMainWindow::settingFilePath());

    auto capture = std::make_unique<DebugCapture>();
    auto window = std::make_unique<TarnAppMainWindow>();
    window->initialize();
    window->show();
    QCOMPARE(window->linkStatus(), int(TarnAppMainWindow::NoPort));
    QVERIFY(!window->hardOut()->isPortOpen());
    QVERIFY(window->remoteIn()->isPortOpen() && window->remoteOut()->isPortOpen());

    const auto logged = [&] { return capture->lines("Send   : ").size(); };
    // Every foot-switch note the program receives logs "channel 0".
    const auto delivered = [&] { return capture->lines("channel 0").size(); };
    QElapsedTimer timer;
    timer.start();
    QVERIFY(pads.send(footSwitch));
    // Twenty presses every 6 ms: a JACK period carries about seventy, well
    // inside a port's buffer.
    for (int sent = 1; sent < presses; sent += 20) {
        for (int i = 0; i < qMin(20, presses - sent); ++i)
            pads.sendNow(footSwitch);
        QTest::qWait(6);
    }
    // JACK may still drop a press under load; those are pressed again until
    // the program has received as many as were meant.
    while (delivered() < presses && timer.elapsed() < 30000) {
        const int missing = presses - delivered();
        QTest::qWait(100);
        if (presses - delivered() == missing) {
            for (int i = 0; i < qMin(missing, 20); ++i)
                pads.sendNow(footSwitch);
        }
    }
    QVERIFY(delivered() >= presses);
    QVERIFY(TestWait::until([&] { return logged() >= delivered(); }, 10000));
    const qint64 floodMs = timer.elapsed();
    const int received = delivered();
    const QStringList lines = capture->lines("Send   : ");
    QCOMPARE(lines.size(), received); // every press left its line
    QCOMPARE(lines.count(request), received);

    // The program is still all there: one more press is handled at once.
    timer.restart();
    pads.sendNow(footSwitch);
    QVERIFY(TestWait::until([&] { return logged() == received + 1; }, 1000));
    const qint64 pressMs = timer.elapsed();
    QCOMPARE(capture->lines("Send   : ").last(), request);
    QCOMPARE(pads.receivedCount(), 0); // no status reply, so no feedback

    timer.restart();
    window->close();
    window.reset();
    const qint64 closeMs = timer.elapsed();
    capture.reset();
    qInfo("%d foot-switch presses handled in %lld ms; the next one in %lld ms; window closed "
          "in %lld ms",
          presses, floodMs, pressMs, closeMs);
    QVERIFY2(closeMs < 2000, qPrintable(QString("closing took %1 ms").arg(closeMs)));
}

QTEST_MAIN(TestClosedSends)
#include "tst_closedsends.moc"
