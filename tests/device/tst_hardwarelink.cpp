// The main window's link to the hardware unit, as the unit and the pad
// controller see it: peers on JACK play both, and the test checks the bytes
// they receive, the window's lamps, status line and buttons, and the setting
// file.
#include "devicebench.h"
#include "testwait.h"

#include "qmidiin.h"
#include "qmidiout.h"
#include "tarnappmainwindow.h"

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using Bytes = DeviceBench::Bytes;

namespace {

const QString Grey = "#888888";
const QString Yellow = "#FFFF33";
const QString Black = "#000000";
const QString Active = "#FF570D";
const QString Choosable = "#3B3B3B";

} // namespace

// The Qt Test cases of this file; GUI thread.
class TestHardwareLink : public QObject
{
    Q_OBJECT

private:
    // Every preset button: enabled or not, and the background of each.
    static void checkButtons(TarnAppMainWindow &window, bool enabled, int activeIndex,
                             const QString &otherColor)
    {
        for (int i = 0; i < 6; ++i) {
            QPushButton *button = window.presetButton(i);
            QVERIFY(button);
            QCOMPARE(button->isEnabled(), enabled);
            QCOMPARE(button->styleSheet(),
                     DeviceBench::buttonStyle(i == activeIndex ? Active : otherColor));
        }
    }

    static void checkHardLamp(TarnAppMainWindow &window, const QString &lamp,
                              const QString &caption)
    {
        QCOMPARE(window.hardLamp()->styleSheet(), DeviceBench::lampStyle(lamp));
        QCOMPARE(window.hardCaption()->styleSheet(), DeviceBench::textStyle(caption));
    }

    static void checkRemoteLamp(TarnAppMainWindow &window, const QString &lamp,
                                const QString &caption)
    {
        QCOMPARE(window.remoteLamp()->styleSheet(), DeviceBench::lampStyle(lamp));
        QCOMPARE(window.remoteCaption()->styleSheet(), DeviceBench::textStyle(caption));
    }

private slots:
    void noPortsSet()
    {
        DeviceBench bench;
        bench.clearPortSettings();
        TarnAppMainWindow &window = bench.start();
        TestWait::runEventLoop(100);

        QCOMPARE(window.linkStatus(), int(TarnAppMainWindow::NoPort));
        checkHardLamp(window, Grey, Grey);
        checkRemoteLamp(window, Grey, Grey);
        QCOMPARE(window.messageLabel()->text(), QString("Please set midi port to the setting."));
        QCOMPARE(window.messageLabel()->styleSheet(), QString("color:#FF0000;"));
        checkButtons(window, false, -1, Grey);

        // A disabled button cannot be clicked: nothing is sent or logged.
        window.presetButton(0)->click();
        TestWait::runEventLoop(50);
        QCOMPARE(bench.unit().inputConnections(), 0);
        QCOMPARE(bench.unit().outputConnections(), 0);
        QCOMPARE(bench.unit().receivedCount(), 0);
        QCOMPARE(bench.pads().receivedCount(), 0);
        QVERIFY(bench.trafficLog().isEmpty());
    }

    void hardwareInputNameMissing()
    {
        // The output's name is present, the input's is not: neither port
        // opens and no request goes out.
        DeviceBench bench;
        bench.setSetting("HardwareMidiInPort", "devc-nobody:out");
        TarnAppMainWindow &window = bench.start();
        TestWait::runEventLoop(150);

        QCOMPARE(bench.unit().inputConnections(), 0);
        QCOMPARE(bench.unit().receivedCount(), 0);
        QVERIFY(!window.hardIn()->isPortOpen());
        QVERIFY(!window.hardOut()->isPortOpen());
        QCOMPARE(window.linkStatus(), int(TarnAppMainWindow::NoPort));
        checkHardLamp(window, Grey, Grey);
        // The remote pair opens on its own.
        checkRemoteLamp(window, Yellow, Black);
    }

    void silentUnitGetsOneSerialRequest()
    {
        DeviceBench bench;
        TarnAppMainWindow &window = bench.start();
        QVERIFY(bench.awaitSerialRequest());
        // No timer and no retry: nothing more goes out however long it waits.
        TestWait::runEventLoop(400);

        QCOMPARE(bench.unit().received(), std::vector<Bytes>{DeviceBench::serialRequest()});
        // (A request that JACK lost, and the bench asked again, is logged too.)
        QStringList sent;
        for (int i = 0; i <= bench.droppedRequests(); ++i)
            sent << "Send   : F0 00 11 22 0A 00 00 00 00 02 00 F7";
        QCOMPARE(bench.trafficLog(), sent);
        QCOMPARE(bench.pads().receivedCount(), 0);
        QCOMPARE(window.linkStatus(), int(TarnAppMainWindow::WaitSerial));
        QCOMPARE(window.messageLabel()->text(), QString("Serial number isn't being received."));
        checkHardLamp(window, Yellow, Black);
        checkRemoteLamp(window, Yellow, Black);
        checkButtons(window, false, -1, Grey);
        QVERIFY(window.heldSerial().empty());
    }

    void serialReplyThatIsAlsoStatusReply()
    {
        DeviceBench bench;
        TarnAppMainWindow &window = bench.start();
        QVERIFY(bench.awaitSerialRequest());
        bench.log().clear();

        const Bytes reply = DeviceBench::statusReply(DeviceBench::serial, 0x03);
        QVERIFY(bench.unit().send(reply));
        QVERIFY(bench.unit().waitForMessages(2));
        QVERIFY(bench.pads().waitForMessages(6));
        TestWait::runEventLoop(100);

        // To the unit: the init status request addressed by the new serial.
        QCOMPARE(bench.unit().received().at(1),
                 DeviceBench::initStatusRequest(DeviceBench::serial));
        QCOMPARE(bench.unit().receivedCount(), 2);
        // To the pads: notes 54 to 59, velocity 127 only for the third.
        QCOMPARE(bench.pads().received(), DeviceBench::feedback(2));
        QCOMPARE(bench.trafficLog(), QStringList({"Rcv    : F0 0A 1B 2C 3D 4E 5F 60 71 01 03 F7",
                                                  "Send   : F0 0A 1B 2C 3D 4E 5F 60 71 02 01 F7"}));

        // The init status request goes out before any feedback note.
        const QStringList lines = bench.log().lines();
        const int request = lines.indexOf("Send   : F0 0A 1B 2C 3D 4E 5F 60 71 02 01 F7");
        const int firstNote = lines.indexOf("send message 144");
        QVERIFY(request >= 0);
        QVERIFY(firstNote > request);
        QCOMPARE(lines.filter(QRegularExpression("^send message 144$")).size(), 6);

        QCOMPARE(window.linkStatus(), int(TarnAppMainWindow::Complete));
        QCOMPARE(window.reportedPreset(), 2);
        QCOMPARE(window.heldSerial(), DeviceBench::serial);
        QCOMPARE(window.messageLabel()->text(), QString("Complete : [0A 1B 2C 3D 4E 5F 60 71]"));
        checkHardLamp(window, Yellow, Black);
        checkButtons(window, true, 2, Choosable);

        // Stored in the setting file, beside the names it was started with.
        QCOMPARE(bench.storedValue("SerialNumber").toString(), QString("0A-1B-2C-3D-4E-5F-60-71"));
        QVERIFY(bench.settingFileText().contains("\nSerialNumber=0A-1B-2C-3D-4E-5F-60-71\n"));
        QCOMPARE(bench.storedValue("HardwareMidiInPort").toString(), bench.unit().outputPortName());
        QCOMPARE(bench.storedValue("RemoteMidiOutPort").toString(), bench.pads().inputPortName());
        // And shown in the settings dialog.
        QCOMPARE(bench.dialogWidget<QLabel>("labelSerialNum")->text(),
                 QString("0A 1B 2C 3D 4E 5F 60 71"));
    }

    void repeatedReplyChangesNothing()
    {
        DeviceBench bench;
        TarnAppMainWindow &window = bench.start();
        QVERIFY(bench.completeLink(0x03));
        bench.pads().clearReceived();
        bench.log().clear();
        const QByteArray fileBefore = bench.settingFileText();

        QVERIFY(bench.unit().send(DeviceBench::statusReply(DeviceBench::serial, 0x03)));
        // A note from the unit is no SysEx: not logged, not acted on.
        QVERIFY(bench.unit().send({0x90, 0x3C, 0x64}));
        // Sentinel: a reply for preset 5, which must be the first to act.
        QVERIFY(bench.unit().send(DeviceBench::statusReply(DeviceBench::serial, 0x05)));
        QVERIFY(bench.pads().waitForMessages(6));
        TestWait::runEventLoop(100);

        QCOMPARE(bench.pads().received(), DeviceBench::feedback(4));
        QCOMPARE(bench.unit().receivedCount(), 2);
        QCOMPARE(bench.trafficLog(), QStringList({"Rcv    : F0 0A 1B 2C 3D 4E 5F 60 71 01 03 F7",
                                                  "Rcv    : F0 0A 1B 2C 3D 4E 5F 60 71 01 05 F7"}));
        QCOMPARE(window.reportedPreset(), 4);
        checkButtons(window, true, 4, Choosable);
        QCOMPARE(bench.settingFileText(), fileBefore);
    }

    void firstReplyWithoutStatusThenPresetByteZero()
    {
        DeviceBench bench;
        TarnAppMainWindow &window = bench.start();
        QVERIFY(bench.awaitSerialRequest());

        // A reply of another type still carries the serial number; it names
        // a preset, but only a status reply is acted on.
        QVERIFY(bench.unit().send(DeviceBench::reply(DeviceBench::serial, {0x05, 0x03, 0xF7})));
        QVERIFY(bench.unit().waitForMessages(2));
        QVERIFY(TestWait::until(
            [&] { return window.linkStatus() == TarnAppMainWindow::WaitInitStatus; }));
        QCOMPARE(bench.unit().received().at(1),
                 DeviceBench::initStatusRequest(DeviceBench::serial));
        QCOMPARE(window.messageLabel()->text(), QString("Init Status isn't being received"));
        checkHardLamp(window, Yellow, Black);
        checkButtons(window, true, -1, Choosable);
        QCOMPARE(window.reportedPreset(), -2);

        // Preset byte 00: no preset active, all six notes off.
        QVERIFY(bench.unit().send(DeviceBench::statusReply(DeviceBench::serial, 0x00)));
        QVERIFY(bench.pads().waitForMessages(6));
        QCOMPARE(bench.pads().received(), DeviceBench::feedback(-1));
        QCOMPARE(window.linkStatus(), int(TarnAppMainWindow::Complete));
        QCOMPARE(window.reportedPreset(), -1);
        QCOMPARE(window.messageLabel()->text(), QString("Complete : [0A 1B 2C 3D 4E 5F 60 71]"));
        checkButtons(window, true, -1, Choosable);

        // The same "none" again is no change; the sentinel for preset 1 is.
        bench.pads().clearReceived();
        QVERIFY(bench.unit().send(DeviceBench::statusReply(DeviceBench::serial, 0x00)));
        QVERIFY(bench.unit().send(DeviceBench::statusReply(DeviceBench::serial, 0x01)));
        QVERIFY(bench.pads().waitForMessages(6));
        TestWait::runEventLoop(100);
        QCOMPARE(bench.pads().received(), DeviceBench::feedback(0));
        QCOMPARE(bench.unit().receivedCount(), 2);
    }

    void presetByteOutOfRangeIsNeverRemembered()
    {
        DeviceBench bench;
        TarnAppMainWindow &window = bench.start();
        QVERIFY(bench.completeLink(0x02));
        QCOMPARE(window.reportedPreset(), 1);

        // Byte 09 marks no button and sends six notes off, every time.
        for (int round = 0; round < 2; ++round) {
            bench.pads().clearReceived();
            QVERIFY(bench.unit().send(DeviceBench::statusReply(DeviceBench::serial, 0x09)));
            QVERIFY(bench.pads().waitForMessages(6));
            QCOMPARE(bench.pads().received(), DeviceBench::feedback(-1));
            checkButtons(window, true, -1, Choosable);
            QCOMPARE(window.reportedPreset(), 1);
        }

        // Since preset 2 is still the one remembered, its report changes
        // nothing, although no button shows it; preset 4 does.
        bench.pads().clearReceived();
        QVERIFY(bench.unit().send(DeviceBench::statusReply(DeviceBench::serial, 0x02)));
        QVERIFY(bench.unit().send(DeviceBench::statusReply(DeviceBench::serial, 0x04)));
        QVERIFY(bench.pads().waitForMessages(6));
        TestWait::runEventLoop(100);
        QCOMPARE(bench.pads().received(), DeviceBench::feedback(3));
        checkButtons(window, true, 3, Choosable);
    }

    void replyFromAnotherSerialNumber()
    {
        DeviceBench bench;
        TarnAppMainWindow &window = bench.start();
        QVERIFY(bench.completeLink(0x03));
        bench.pads().clearReceived();
        const QByteArray fileBefore = bench.settingFileText();

        const Bytes other{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
        QVERIFY(bench.unit().send(DeviceBench::statusReply(other, 0x04)));
        QVERIFY(bench.pads().waitForMessages(6));
        TestWait::runEventLoop(100);

        QCOMPARE(bench.pads().received(), DeviceBench::feedback(3));
        checkButtons(window, true, 3, Choosable);
        QCOMPARE(window.reportedPreset(), 3);
        // The serial number learnt first stays: not asked again, not stored again.
        QCOMPARE(window.heldSerial(), DeviceBench::serial);
        QCOMPARE(window.messageLabel()->text(), QString("Complete : [0A 1B 2C 3D 4E 5F 60 71]"));
        QCOMPARE(bench.unit().receivedCount(), 2);
        QCOMPARE(bench.settingFileText(), fileBefore);
    }

    void shortFirstReplyGivesEmptySerial()
    {
        DeviceBench bench;
        TarnAppMainWindow &window = bench.start();
        QVERIFY(bench.awaitSerialRequest());

        QVERIFY(bench.unit().send({0xF0, 0x01, 0x02, 0x03, 0xF7}));
        QVERIFY(bench.unit().waitForMessages(2));
        QCOMPARE(bench.unit().received().at(1), Bytes({0xF0, 0x02, 0x01, 0xF7}));
        QCOMPARE(window.linkStatus(), int(TarnAppMainWindow::WaitInitStatus));
        QVERIFY(window.heldSerial().empty());
        QVERIFY(bench.settingFileText().contains("\nSerialNumber=\n"));

        // Still no serial number held: the next message is taken as the serial reply.
        QVERIFY(bench.unit().send(DeviceBench::statusReply(DeviceBench::serial, 0x06)));
        QVERIFY(bench.unit().waitForMessages(3));
        QVERIFY(bench.pads().waitForMessages(6));
        QCOMPARE(bench.unit().received().at(2),
                 DeviceBench::initStatusRequest(DeviceBench::serial));
        QCOMPARE(bench.pads().received(), DeviceBench::feedback(5));
        QCOMPARE(window.heldSerial(), DeviceBench::serial);
        QCOMPARE(bench.storedValue("SerialNumber").toString(), QString("0A-1B-2C-3D-4E-5F-60-71"));
        checkButtons(window, true, 5, Choosable);
    }

    void closedHardwarePortForcesNoPort_data()
    {
        QTest::addColumn<bool>("closeInput");
        QTest::newRow("input closed") << true;
        QTest::newRow("output closed") << false;
    }

    void closedHardwarePortForcesNoPort()
    {
        QFETCH(bool, closeInput);
        DeviceBench bench;
        TarnAppMainWindow &window = bench.start();
        QVERIFY(bench.completeLink(0x03));

        if (closeInput)
            window.hardIn()->closePort();
        else
            window.hardOut()->closePort();
        window.updateStatusDisplay();

        QCOMPARE(window.linkStatus(), int(TarnAppMainWindow::NoPort));
        checkHardLamp(window, Grey, Grey);
        QCOMPARE(window.messageLabel()->text(), QString("Please set midi port to the setting."));
        checkButtons(window, false, -1, Grey);
        // The remote side does not depend on the hardware link.
        checkRemoteLamp(window, Yellow, Black);
    }

    void remoteLampNeedsBothPorts_data()
    {
        QTest::addColumn<bool>("closeInput");
        QTest::newRow("input closed") << true;
        QTest::newRow("output closed") << false;
    }

    void remoteLampNeedsBothPorts()
    {
        QFETCH(bool, closeInput);
        DeviceBench bench;
        TarnAppMainWindow &window = bench.start();
        QVERIFY(bench.awaitSerialRequest());
        checkRemoteLamp(window, Yellow, Black);

        if (closeInput)
            window.remoteIn()->closePort();
        else
            window.remoteOut()->closePort();
        window.updateStatusDisplay();

        checkRemoteLamp(window, Grey, Grey);
        // The hardware side keeps waiting for its serial number.
        QCOMPARE(window.linkStatus(), int(TarnAppMainWindow::WaitSerial));
        checkHardLamp(window, Yellow, Black);

        // Feedback needs only the remote output.
        QVERIFY(bench.unit().send(DeviceBench::statusReply(DeviceBench::serial, 0x01)));
        QVERIFY(
            TestWait::until([&] { return window.linkStatus() == TarnAppMainWindow::Complete; }));
        if (closeInput) {
            QVERIFY(bench.pads().waitForMessages(6));
            QCOMPARE(bench.pads().received(), DeviceBench::feedback(0));
        } else {
            // Not even tried: no note reaches the output port object.
            TestWait::runEventLoop(150);
            QVERIFY(bench.log().lines("send message 144").isEmpty());
            QCOMPARE(bench.pads().receivedCount(), 0);
        }
    }
};

QTEST_MAIN(TestHardwareLink)
#include "tst_hardwarelink.moc"
