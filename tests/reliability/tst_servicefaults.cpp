// The MIDI service and the devices going away under the running program and
// coming back: the program keeps answering, shows what it can know, and
// Reconnect hardware brings the link back. Runs a JACK server of its own,
// which it stops and starts again.
#include "appsetting.h"
#include "boxwatcher.h"
#include "debugcapture.h"
#include "devicepeer.h"
#include "hardmessages.h"
#include "hardsettingdialog.h"
#include "privatejackserver.h"
#include "qmidiin.h"
#include "qmidimessage.h"
#include "qmidiout.h"
#include "tarnappmainwindow.h"
#include "testwait.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

const DevicePeer::Bytes unitSerial{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x08};
const DevicePeer::Bytes spareSerial{0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28};
const char *const Grey = "#888888";
const char *const Yellow = "#FFFF33";
const char *const Active = "#FF570D";

bool coloured(QWidget *widget, const char *colour)
{
    return widget->styleSheet().contains(colour);
}

DevicePeer::Bytes pad(int note)
{
    return {0x90, static_cast<unsigned char>(note), 127};
}

} // namespace

class TestServiceFaults : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void unitVanishesAndReturns();
    void padControllerVanishesAndReturns();
    void portGoneWhenOkReopensIt_data();
    void portGoneWhenOkReopensIt();
    void windowClosesAfterServiceLoss();
    void serverStopsUnderOpenPorts();

private:
    // Waits until the link to device is complete.
    bool linkUp(DevicePeer &device, const DevicePeer::Bytes &serial);
    qint64 reconnect();
    bool showsNoPort() const;
    // Ends the debug capture, so that the line reaches the test log.
    void report(const QString &text);
    int sendLines() const { return capture->lines("Send   : ").size(); }

    PrivateJackServer server{REL_JACK_SERVER, REL_JACK_PIDFILE};
    std::unique_ptr<DevicePeer> unit;
    std::unique_ptr<DevicePeer> pads;
    std::unique_ptr<DebugCapture> capture;
    std::unique_ptr<TarnAppMainWindow> window;
};

void TestServiceFaults::initTestCase()
{
    server.makeDefault();
}

void TestServiceFaults::init()
{
    if (!server.answers())
        QVERIFY2(server.start(), qPrintable(server.failure()));
    unit = std::make_unique<DevicePeer>("rel-unit");
    pads = std::make_unique<DevicePeer>("rel-pads");
    unit->appear();
    pads->appear();
    unit->playUnit(unitSerial, 2);

    AppSetting setting;
    setting.setHardwareMidiInPort(unit->outputPortName());
    setting.setHardwareMidiOutPort(unit->inputPortName());
    setting.setRemoteMidiInPort(pads->outputPortName());
    setting.setRemoteMidiOutPort(pads->inputPortName());
    setting.setFootSwitchIndex(1);
    setting.saveSettingFile(TarnAppMainWindow::settingFilePath());

    capture = std::make_unique<DebugCapture>();
    window = std::make_unique<TarnAppMainWindow>();
    window->initialize();
    window->show();
    QVERIFY(linkUp(*unit, unitSerial));
    QVERIFY(coloured(window->remoteLamp(), Yellow));
}

void TestServiceFaults::cleanup()
{
    window.reset();
    capture.reset();
    pads.reset();
    unit.reset();
}

void TestServiceFaults::cleanupTestCase()
{
    QVERIFY(server.stop());
}

bool TestServiceFaults::linkUp(DevicePeer &device, const DevicePeer::Bytes &serial)
{
    return device.waitLinkUp([&] {
        return window->linkStatus() == TarnAppMainWindow::Complete &&
               window->heldSerial() == serial;
    });
}

void TestServiceFaults::report(const QString &text)
{
    capture.reset();
    qInfo("%s", qPrintable(text));
}

qint64 TestServiceFaults::reconnect()
{
    QElapsedTimer timer;
    timer.start();
    window->settingDialog()->refreshPortLists();
    window->settingDialog()->applyPorts(true);
    return timer.elapsed();
}

bool TestServiceFaults::showsNoPort() const
{
    bool buttonsOff = true;
    for (int i = 0; i < AppSetting::presetCount; ++i)
        buttonsOff &= !window->presetButton(i)->isEnabled();
    return window->linkStatus() == TarnAppMainWindow::NoPort && buttonsOff &&
           coloured(window->hardLamp(), Grey) && coloured(window->hardCaption(), Grey) &&
           window->messageLabel()->text() == "Please set midi port to the setting.";
}

void TestServiceFaults::serverStopsUnderOpenPorts()
{
    QVERIFY(server.stop());
    QVERIFY(TestWait::until([&] { return showsNoPort(); }, 5000));
    QVERIFY(coloured(window->remoteLamp(), Grey));
    QVERIFY(coloured(window->remoteCaption(), Grey));

    // 5000 selections into the dead service: clicks and foot-switch presses.
    QMidiMessage footSwitch;
    footSwitch.setStatus(0x90);
    footSwitch.setPitch(69);
    footSwitch.setVelocity(0);
    void (TarnAppMainWindow::*const clicks[])() = {
        &TarnAppMainWindow::on_pushPreset1_clicked, &TarnAppMainWindow::on_pushPreset2_clicked,
        &TarnAppMainWindow::on_pushPreset3_clicked, &TarnAppMainWindow::on_pushPreset4_clicked,
        &TarnAppMainWindow::on_pushPreset5_clicked, &TarnAppMainWindow::on_pushPreset6_clicked};
    const int before = sendLines();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 2500; ++i) {
        (window.get()->*clicks[i % 6])();
        window->onMidiRemoteReceive(&footSwitch);
    }
    const qint64 sendMs = timer.elapsed();
    const QStringList lines = capture->lines("Send   : ").mid(before);
    QCOMPARE(lines.size(), 5000);
    const QString footRequest = "Send   : " + toHexString(makePresetRequest(unitSerial, 0), ' ');
    QCOMPARE(lines.count(footRequest), 2500 + 417); // the foot switch and every sixth click
    timer.restart();
    QTest::qWait(100);
    QVERIFY(timer.elapsed() < 1000);

    // The devices went with the service; their dead clients are released
    // before a new server runs.
    unit->vanish();
    pads->vanish();
    QVERIFY2(server.start(), qPrintable(server.failure()));
    // Reconnect hardware before the devices are back: nothing to open yet.
    const qint64 reconnectMs = reconnect();
    QVERIFY(showsNoPort());
    unit->appear();
    pads->appear();
    reconnect();
    QVERIFY(linkUp(*unit, unitSerial));
    QVERIFY(coloured(window->remoteLamp(), Yellow));
    QCOMPARE(window->messageLabel()->text(), "Complete : [" + toHexString(unitSerial, ' ') + "]");
    QVERIFY(pads->waitOutputConnected());
    pads->send(pad(56));
    QVERIFY(unit->waitForMessage(makePresetRequest(unitSerial, 2)));
    report(QString("5000 sends after the service stopped took %1 ms; the first Reconnect "
                   "hardware once it ran again %2 ms")
               .arg(sendMs)
               .arg(reconnectMs));
}

void TestServiceFaults::windowClosesAfterServiceLoss()
{
    QVERIFY(server.stop());
    QVERIFY(TestWait::until([&] { return showsNoPort(); }, 5000));
    QElapsedTimer timer;
    timer.start();
    window.reset();
    const qint64 closeMs = timer.elapsed();
    report(QString("the window closed %1 ms after the service stopped").arg(closeMs));
    QVERIFY2(closeMs < 5000, qPrintable(QString("closing took %1 ms").arg(closeMs)));
}

void TestServiceFaults::unitVanishesAndReturns()
{
    const QString shown = window->messageLabel()->text();
    unit->vanish();
    QTest::qWait(200);
    // The library reports nothing, so the window goes on showing the link.
    QCOMPARE(window->linkStatus(), int(TarnAppMainWindow::Complete));
    QCOMPARE(window->messageLabel()->text(), shown);
    QVERIFY(coloured(window->hardLamp(), Yellow));
    // A pad press goes out into nothing: no error, no wait.
    int sends = sendLines();
    QVERIFY(pads->waitOutputConnected());
    pads->send(pad(57));
    QVERIFY(TestWait::until([&] { return sendLines() == sends + 1; }, 1000));

    // Plugged in again under the same names, the unit is not connected again.
    unit->appear();
    unit->playUnit(unitSerial, 4);
    QTest::qWait(100);
    QCOMPARE(unit->inputConnections(), 0);
    QCOMPARE(unit->outputConnections(), 0);
    sends = sendLines();
    pads->send(pad(57));
    QVERIFY(TestWait::until([&] { return sendLines() == sends + 1; }, 1000));
    QTest::qWait(100);
    QCOMPARE(unit->receivedCount(), 0);

    reconnect();
    QVERIFY(linkUp(*unit, unitSerial));
    QVERIFY(coloured(window->presetButton(4), Active));
    pads->send(pad(55));
    QVERIFY(unit->waitForMessage(makePresetRequest(unitSerial, 1)));
}

void TestServiceFaults::padControllerVanishesAndReturns()
{
    pads->vanish();
    QTest::qWait(200);
    QVERIFY(coloured(window->remoteLamp(), Yellow)); // nothing tells the program
    // Feedback for a new preset goes to the absent controller: no error, no wait.
    QVERIFY(unit->waitOutputConnected());
    unit->send(DevicePeer::statusReply(unitSerial, 5));
    QVERIFY(TestWait::until([&] { return coloured(window->presetButton(5), Active); }, 1000));

    // Plugged in again, its presses reach nothing until Reconnect hardware.
    pads->appear();
    QTest::qWait(100);
    QCOMPARE(pads->outputConnections(), 0);
    unit->clearReceived();
    pads->send(pad(54));
    QTest::qWait(200);
    QCOMPARE(unit->receivedCount(), 0);

    reconnect();
    QVERIFY(linkUp(*unit, unitSerial));
    // The first status reply after the reconnection is echoed to the controller.
    QVERIFY(pads->waitForReceived(6));
    const std::vector<DevicePeer::Bytes> feedback{{0x90, 54, 0}, {0x90, 55, 0}, {0x90, 56, 127},
                                                  {0x90, 57, 0}, {0x90, 58, 0}, {0x90, 59, 0}};
    QVERIFY(pads->received() == feedback);
    QVERIFY(pads->waitOutputConnected());
    pads->send(pad(54));
    QVERIFY(unit->waitForMessage(makePresetRequest(unitSerial, 0)));
}

void TestServiceFaults::portGoneWhenOkReopensIt_data()
{
    QTest::addColumn<bool>("listedLast");
    QTest::newRow("gone port listed last") << true;
    QTest::newRow("gone port listed before others") << false;
}

// The user picks a spare unit in the settings dialog; it is unplugged before
// OK. The lists still show it, and OK opens the ports by their position.
void TestServiceFaults::portGoneWhenOkReopensIt()
{
    QFETCH(bool, listedLast);
    DevicePeer spare("rel-spare");
    if (!listedLast) // JACK gives the spare the pad controller's freed port slots
        pads->vanish();
    spare.appear();
    spare.playUnit(spareSerial, 0);
    if (!listedLast)
        pads->appear();

    HardSettingDialog *dialog = window->settingDialog();
    dialog->refreshPortLists();
    auto *listIn = dialog->findChild<QComboBox *>("comboHardMidiIn");
    auto *listOut = dialog->findChild<QComboBox *>("comboHardMidiOut");
    const int indexIn = listIn->findText(spare.outputPortName());
    QVERIFY(indexIn >= 0);
    listIn->setCurrentIndex(indexIn);
    listOut->setCurrentIndex(listOut->findText(spare.inputPortName()));
    spare.vanish();
    const QStringList portsNow = window->hardIn()->portNames();
    QCOMPARE(indexIn >= portsNow.size(), listedLast);
    // Whatever port took the gone one's position must not be opened instead.
    const QString successor = listedLast ? QString() : portsNow.value(indexIn);
    const QStringList successorLinks = unit->connectionsOf(successor);

    {
        BoxWatcher boxes(50);
        dialog->findChild<QPushButton *>("pushOK")->click();
        QCOMPARE(boxes.count("Midi Connect Error"), 1);
        QVERIFY(!boxes.boxes().first().text.isEmpty());
    }
    QCOMPARE(unit->connectionsOf(successor), successorLinks);
    QVERIFY(!window->hardIn()->isPortOpen());
    QVERIFY2(showsNoPort(), qPrintable("the window shows \"" + window->messageLabel()->text() +
                                       "\" with the hardware input closed"));

    // The spare is plugged in again; Reconnect hardware finds it by its name.
    spare.appear();
    reconnect();
    QVERIFY(linkUp(spare, spareSerial));
}

QTEST_MAIN(TestServiceFaults)
#include "tst_servicefaults.moc"
