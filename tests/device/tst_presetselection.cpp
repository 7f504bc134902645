// Preset selection as the unit and the pad controller see it: the preset
// buttons, the pads and the foot switch each end in one preset request to
// the unit, and only then does the unit's answer change the buttons.
#include "devicebench.h"
#include "modalanswerer.h"
#include "testwait.h"

#include "hardsettingdialog.h"
#include "tarnappmainwindow.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>

using Bytes = DeviceBench::Bytes;

// The Qt Test cases of this file; GUI thread.
class TestPresetSelection : public QObject
{
    Q_OBJECT

private:
    static Bytes note(int status, int note, int velocity)
    {
        return {static_cast<unsigned char>(status), static_cast<unsigned char>(note),
                static_cast<unsigned char>(velocity)};
    }

private slots:
    void padOnAnyChannelSelectsItsPreset()
    {
        DeviceBench bench;
        bench.start();
        QVERIFY(bench.completeLink(0x01));
        bench.unit().clearReceived();
        bench.log().clear();

        QVERIFY(bench.pads().send(note(0x99, 56, 127))); // channel 10
        QVERIFY(bench.pads().send(note(0x90, 59, 127)));
        QVERIFY(bench.pads().send(note(0x9F, 54, 127))); // channel 16
        QVERIFY(bench.unit().waitForMessages(3));
        TestWait::runEventLoop(100);

        QCOMPARE(bench.unit().received(),
                 std::vector<Bytes>({DeviceBench::presetRequest(DeviceBench::serial, 2),
                                     DeviceBench::presetRequest(DeviceBench::serial, 5),
                                     DeviceBench::presetRequest(DeviceBench::serial, 0)}));
        QCOMPARE(bench.trafficLog(),
                 QStringList({"Send   : F0 0A 1B 2C 3D 4E 5F 60 71 02 06 02 07 F7",
                              "Send   : F0 0A 1B 2C 3D 4E 5F 60 71 02 06 05 07 F7",
                              "Send   : F0 0A 1B 2C 3D 4E 5F 60 71 02 06 00 07 F7"}));
    }

    void otherNotesAndVelocitiesAreIgnored()
    {
        DeviceBench bench;
        bench.setSetting("FootSwitchIndex", 2); // PRESET2
        bench.start();
        QVERIFY(bench.completeLink(0x01));
        bench.unit().clearReceived();

        const std::vector<Bytes> ignored{
            note(0x90, 56, 100),                    // a pad, not pressed at full velocity
            note(0x90, 56, 1),   note(0x90, 56, 0), // velocity 0 is only the foot switch's
            note(0x90, 53, 127),                    // below the pads
            note(0x90, 60, 127),                    // above the pads
            note(0x90, 69, 127),                    // the foot switch's note at 127
            note(0x80, 69, 0),                      // Note Off 69
            note(0x80, 56, 127),                    // Note Off of a pad
            note(0xB0, 56, 127),                    // a controller
            note(0x90, 69, 64),                     // foot switch note at another velocity
            note(0x90, 70, 0),                      // next to the foot switch
        };
        for (const Bytes &message : ignored)
            QVERIFY(bench.pads().send(message));
        // Sentinel: messages are handled in order, so once its request has
        // arrived, any request from the ones before would have too.
        QVERIFY(bench.pads().send(note(0x90, 57, 127)));
        QVERIFY(bench.unit().waitForMessages(1));
        TestWait::runEventLoop(100);

        QCOMPARE(bench.unit().received(),
                 std::vector<Bytes>{DeviceBench::presetRequest(DeviceBench::serial, 3)});
    }

    void footSwitchSelectsTheListsPreset()
    {
        DeviceBench bench;
        bench.setSetting("FootSwitchIndex", 0); // "none"
        TarnAppMainWindow &window = bench.start();
        QVERIFY(bench.completeLink(0x01));
        bench.unit().clearReceived();

        QVERIFY(bench.pads().send(note(0x90, 69, 0))); // ignored: "none"
        // A pad after it: once its request is in, the foot switch was handled.
        QVERIFY(bench.pads().send(note(0x90, 54, 127)));
        QVERIFY(bench.unit().waitForMessages(1));
        auto *list = bench.dialogWidget<QComboBox>("comboFootSwitchPreset");
        QVERIFY(list);
        QCOMPARE(list->count(), 7);
        QCOMPARE(list->currentText(), QString("none"));
        list->setCurrentIndex(6); // PRESET6
        QCOMPARE(window.settingDialog()->footSwitchPreset(), 5);
        QVERIFY(bench.pads().send(note(0x95, 69, 0))); // any channel
        QVERIFY(bench.unit().waitForMessages(2));
        TestWait::runEventLoop(100);

        QCOMPARE(bench.unit().received(),
                 std::vector<Bytes>({DeviceBench::presetRequest(DeviceBench::serial, 0),
                                     DeviceBench::presetRequest(DeviceBench::serial, 5)}));
        // The request changes nothing by itself.
        QCOMPARE(window.reportedPreset(), 0);
        QCOMPARE(window.presetButton(5)->styleSheet(), DeviceBench::buttonStyle("#3B3B3B"));
        QCOMPARE(window.presetButton(0)->styleSheet(), DeviceBench::buttonStyle("#FF570D"));
    }

    void padsWaitForTheSerialNumberButFootSwitchDoesNot()
    {
        DeviceBench bench;
        bench.setSetting("FootSwitchIndex", 2); // PRESET2
        TarnAppMainWindow &window = bench.start();
        QVERIFY(bench.awaitSerialRequest());
        QCOMPARE(window.linkStatus(), int(TarnAppMainWindow::WaitSerial));
        bench.log().clear();

        QVERIFY(bench.pads().send(note(0x90, 54, 127)));
        QVERIFY(bench.pads().send(note(0x90, 59, 127)));
        QVERIFY(bench.pads().send(note(0x90, 69, 0)));
        QVERIFY(bench.unit().waitForMessages(2));
        TestWait::runEventLoop(100);

        // No serial number is held: the request carries no address bytes.
        QCOMPARE(bench.unit().received(),
                 std::vector<Bytes>(
                     {DeviceBench::serialRequest(), Bytes({0xF0, 0x02, 0x06, 0x01, 0x07, 0xF7})}));
        QCOMPARE(bench.trafficLog(), QStringList{"Send   : F0 02 06 01 07 F7"});
        QCOMPARE(window.linkStatus(), int(TarnAppMainWindow::WaitSerial));
    }

    void footSwitchWithoutHardwarePortsLogsAnyway()
    {
        // The unit's ports are not set: the request goes nowhere, raises no
        // error box, and is logged all the same.
        DeviceBench bench;
        bench.setSetting("HardwareMidiInPort", QVariant());
        bench.setSetting("HardwareMidiOutPort", QVariant());
        bench.setSetting("FootSwitchIndex", 3); // PRESET3
        ModalAnswerer answerer;
        TarnAppMainWindow &window = bench.start();
        QCOMPARE(window.linkStatus(), int(TarnAppMainWindow::NoPort));

        QVERIFY(bench.pads().send(note(0x90, 69, 0)));
        QVERIFY(TestWait::until([&] { return !bench.trafficLog().isEmpty(); }));
        TestWait::runEventLoop(100);

        QCOMPARE(bench.trafficLog(), QStringList{"Send   : F0 02 06 02 07 F7"});
        QVERIFY(answerer.seen().isEmpty());
        QCOMPARE(bench.unit().receivedCount(), 0);
    }

    void buttonClickSendsRequestOnly()
    {
        DeviceBench bench;
        TarnAppMainWindow &window = bench.start();
        QVERIFY(bench.completeLink(0x03));
        bench.unit().clearReceived();
        bench.pads().clearReceived();

        window.presetButton(3)->click();
        // The active preset's button sends its request all the same.
        window.presetButton(2)->click();
        QVERIFY(bench.unit().waitForMessages(2));
        TestWait::runEventLoop(100);

        QCOMPARE(bench.unit().received(),
                 std::vector<Bytes>({DeviceBench::presetRequest(DeviceBench::serial, 3),
                                     DeviceBench::presetRequest(DeviceBench::serial, 2)}));
        for (int i = 0; i < 6; ++i)
            QCOMPARE(window.presetButton(i)->styleSheet(),
                     DeviceBench::buttonStyle(i == 2 ? "#FF570D" : "#3B3B3B"));
        QCOMPARE(window.reportedPreset(), 2);
        QCOMPARE(bench.pads().receivedCount(), 0);

        // The unit's answer moves the mark.
        QVERIFY(bench.unit().send(DeviceBench::statusReply(DeviceBench::serial, 0x04)));
        QVERIFY(bench.pads().waitForMessages(6));
        QCOMPARE(bench.pads().received(), DeviceBench::feedback(3));
        QCOMPARE(window.presetButton(3)->styleSheet(), DeviceBench::buttonStyle("#FF570D"));
        QCOMPARE(window.presetButton(2)->styleSheet(), DeviceBench::buttonStyle("#3B3B3B"));
    }

    void footSwitchChoiceActsAtOnceAndCancelRestoresIt()
    {
        DeviceBench bench;
        bench.setSetting("FootSwitchIndex", 1); // PRESET1
        TarnAppMainWindow &window = bench.start();
        QVERIFY(bench.completeLink(0x01));
        bench.unit().clearReceived();
        const QByteArray fileBefore = bench.settingFileText();

        // While the modal dialog is open, MIDI keeps being handled and the
        // list's new position applies to the next foot-switch note.
        int receivedInside = -1;
        ModalAnswerer answerer;
        answerer.answerNext([&](QWidget *dialog) {
            auto *list = dialog->findChild<QComboBox *>("comboFootSwitchPreset");
            if (list) {
                list->setCurrentIndex(4); // PRESET4
                bench.pads().send(note(0x90, 69, 0));
                bench.unit().waitForMessages(1);
                receivedInside = bench.unit().receivedCount();
            }
            if (auto *cancel = dialog->findChild<QPushButton *>("pushCancel"))
                cancel->click();
        });
        window.settingButton()->click();
        QCOMPARE(answerer.titles(), QStringList{"Hard Settings"});
        QCOMPARE(receivedInside, 1);
        QVERIFY(!window.settingDialog()->isVisible());

        // After CANCEL the foot switch follows the record again, which, like
        // the file, kept the old choice.
        QVERIFY(bench.pads().send(note(0x90, 69, 0)));
        QVERIFY(bench.unit().waitForMessages(2));
        TestWait::runEventLoop(100);
        QCOMPARE(bench.unit().received(),
                 std::vector<Bytes>({DeviceBench::presetRequest(DeviceBench::serial, 3),
                                     DeviceBench::presetRequest(DeviceBench::serial, 0)}));
        QCOMPARE(window.setting().footSwitchIndex(), 1);
        QCOMPARE(bench.settingFileText(), fileBefore);
    }
};

QTEST_MAIN(TestPresetSelection)
#include "tst_presetselection.moc"
