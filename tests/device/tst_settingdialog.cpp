// The settings dialog driven as a user drives it, shown modally from the
// main window's settings button: what it does to the ports (seen as JACK
// connections made and broken at the peers), to the link with the unit, to
// the main window and to the setting files.
#include "connectionlog.h"
#include "devicebench.h"
#include "modalanswerer.h"
#include "testwait.h"

#include "hardsettingdialog.h"
#include "qmidiin.h"
#include "qmidiout.h"
#include "tarnappmainwindow.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using Bytes = DeviceBench::Bytes;

namespace {

template <class Widget> Widget *child(QWidget *dialog, const char *name)
{
    return dialog->findChild<Widget *>(QString::fromLatin1(name));
}

void press(QWidget *dialog, const char *button)
{
    if (auto *push = child<QPushButton>(dialog, button))
        push->click();
}

QStringList allPorts(DeviceBench &bench)
{
    return {bench.unit().inputPortName(), bench.unit().outputPortName(),
            bench.pads().inputPortName(), bench.pads().outputPortName()};
}

void writeIni(const QString &path, const QMap<QString, QVariant> &values)
{
    QSettings file(path, QSettings::IniFormat);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        file.setValue(it.key(), it.value());
    file.sync();
}

QVariant iniValue(const QString &path, const QString &key)
{
    return QSettings(path, QSettings::IniFormat).value(key);
}

} // namespace

// The Qt Test cases of this file; GUI thread.
class TestSettingDialog : public QObject
{
    Q_OBJECT

private slots:
    void okWithNothingChanged()
    {
        DeviceBench bench;
        TarnAppMainWindow &window = bench.start();
        QVERIFY(bench.completeLink(0x03));
        ConnectionLog connections(allPorts(bench));
        QVERIFY(QFile::remove(bench.settingFilePath()));
        window.presetButton(0)->setText("stale");
        window.resize(900, 350);
        TestWait::runEventLoop(50);

        ModalAnswerer answerer;
        answerer.answerNext([](QWidget *dialog) { press(dialog, "pushOK"); });
        window.settingButton()->click();
        TestWait::runEventLoop(150);

        QCOMPARE(answerer.titles(), QStringList{"Hard Settings"});
        // No port closed or reopened, no request to the unit.
        QCOMPARE(connections.events(), QStringList());
        QCOMPARE(bench.unit().receivedCount(), 2);
        QCOMPARE(window.linkStatus(), int(TarnAppMainWindow::Complete));
        QVERIFY(window.hardIn()->isPortOpen() && window.hardOut()->isPortOpen());
        QVERIFY(window.remoteIn()->isPortOpen() && window.remoteOut()->isPortOpen());
        // The file is written anew, with all thirteen keys.
        QVERIFY(QFile::exists(bench.settingFilePath()));
        QCOMPARE(bench.storedValue("HardwareMidiInPort").toString(), bench.unit().outputPortName());
        QCOMPARE(bench.storedValue("HardwareMidiOutPort").toString(), bench.unit().inputPortName());
        QCOMPARE(bench.storedValue("RemoteMidiInPort").toString(), bench.pads().outputPortName());
        QCOMPARE(bench.storedValue("RemoteMidiOutPort").toString(), bench.pads().inputPortName());
        QCOMPARE(bench.storedValue("SerialNumber").toString(), QString("0A-1B-2C-3D-4E-5F-60-71"));
        for (int i = 1; i <= 6; ++i)
            QCOMPARE(bench.storedValue(QString("Preset%1").arg(i)), QVariant(QString("")));
        QCOMPARE(bench.storedValue("FootSwitchIndex").toString(), QString("0"));
        QCOMPARE(bench.storedValue("DispType").toString(), QString("0"));
        // The captions are set again; the unchanged arrangement is left alone.
        QCOMPARE(window.presetButton(0)->text(), QString("PRESET1\r\n#NAME"));
        QCOMPARE(window.size(), QSize(900, 350));
        QVERIFY(!window.settingDialog()->isVisible());
    }

    void remotePortSameAsHardwarePort()
    {
        DeviceBench bench;
        TarnAppMainWindow &window = bench.start();
        QVERIFY(bench.awaitSerialRequest());
        ConnectionLog connections(allPorts(bench));

        QString chosen;
        ModalAnswerer answerer;
        answerer.answerNext([&](QWidget *dialog) {
            auto *hardIn = child<QComboBox>(dialog, "comboHardMidiIn");
            auto *remoteIn = child<QComboBox>(dialog, "comboRemoteMidiIn");
            remoteIn->setCurrentIndex(hardIn->currentIndex() + 1);
            chosen = remoteIn->currentText();
            press(dialog, "pushOK");
        });
        window.settingButton()->click();
        TestWait::runEventLoop(150);

        QCOMPARE(chosen, bench.unit().outputPortName());
        // The remote input is neither closed nor opened on the unit's port.
        QCOMPARE(connections.events(), QStringList());
        QVERIFY(window.remoteIn()->isPortOpen());
        QCOMPARE(bench.pads().outputConnections(), 1);
        QCOMPARE(bench.unit().outputConnections(), 1);
        QCOMPARE(bench.storedValue("RemoteMidiInPort"), QVariant(QString("")));
        QVERIFY(window.setting().remoteMidiInPort().isEmpty());
        QCOMPARE(bench.storedValue("RemoteMidiOutPort").toString(), bench.pads().inputPortName());
        QCOMPARE(bench.unit().receivedCount(), 1);
    }

    void remotePortSwitchedToNone()
    {
        DeviceBench bench;
        TarnAppMainWindow &window = bench.start();
        QVERIFY(bench.awaitSerialRequest());
        ConnectionLog connections(allPorts(bench));

        ModalAnswerer answerer;
        answerer.answerNext([](QWidget *dialog) {
            child<QComboBox>(dialog, "comboRemoteMidiIn")->setCurrentIndex(0);
            press(dialog, "pushOK");
        });
        window.settingButton()->click();
        QVERIFY(connections.waitForEvents(1));
        TestWait::runEventLoop(150);

        QCOMPARE(connections.events(), QStringList{"-" + bench.pads().outputPortName()});
        QVERIFY(!window.remoteIn()->isPortOpen());
        QVERIFY(window.remoteOut()->isPortOpen());
        QCOMPARE(bench.storedValue("RemoteMidiInPort"), QVariant(QString("")));
        QCOMPARE(bench.storedValue("RemoteMidiOutPort").toString(), bench.pads().inputPortName());
        // One remote port open is not a connection.
        QCOMPARE(window.remoteLamp()->styleSheet(), DeviceBench::lampStyle("#888888"));
        QCOMPARE(window.remoteCaption()->styleSheet(), DeviceBench::textStyle("#888888"));
        QCOMPARE(window.hardLamp()->styleSheet(), DeviceBench::lampStyle("#FFFF33"));
        QCOMPARE(bench.unit().receivedCount(), 1);
    }

    void reconnectHardware()
    {
        DeviceBench bench;
        TarnAppMainWindow &window = bench.start();
        QVERIFY(bench.completeLink(0x03));
        ConnectionLog connections(allPorts(bench));
        QVERIFY(QFile::remove(bench.settingFilePath()));
        bench.unit().clearReceived();
        bench.pads().clearReceived();

        bool stayedOpen = false;
        int statusInside = -1;
        ModalAnswerer answerer;
        answerer.answerNext([&](QWidget *dialog) {
            press(dialog, "pushGetSerial");
            bench.awaitSerialRequest();
            stayedOpen = dialog->isVisible();
            statusInside = window.linkStatus();
            press(dialog, "pushCancel");
        });
        window.settingButton()->click();
        QVERIFY(connections.waitForEvents(8));
        TestWait::runEventLoop(150);

        QVERIFY(stayedOpen);
        QCOMPARE(statusInside, int(TarnAppMainWindow::WaitSerial));
        QCOMPARE(bench.unit().received(), std::vector<Bytes>{DeviceBench::serialRequest()});
        // Every port was closed and opened again.
        const QStringList events = connections.events();
        QCOMPARE(events.size(), 8);
        for (const QString &port : allPorts(bench)) {
            const int broken = events.indexOf("-" + port);
            QVERIFY2(broken >= 0, qPrintable(port));
            QVERIFY2(events.indexOf("+" + port) > broken, qPrintable(port));
        }
        QVERIFY(window.remoteIn()->isPortOpen() && window.remoteOut()->isPortOpen());
        // The link forgets the unit and waits for its serial number again.
        QCOMPARE(window.linkStatus(), int(TarnAppMainWindow::WaitSerial));
        QVERIFY(window.heldSerial().empty());
        QCOMPARE(window.reportedPreset(), -2);
        QCOMPARE(window.messageLabel()->text(), QString("Serial number isn't being received."));
        for (int i = 0; i < 6; ++i) {
            QVERIFY(!window.presetButton(i)->isEnabled());
            QCOMPARE(window.presetButton(i)->styleSheet(), DeviceBench::buttonStyle("#888888"));
        }
        // Nothing saved, the record unchanged.
        QVERIFY(!QFile::exists(bench.settingFilePath()));
        QCOMPARE(window.setting().hardwareMidiInPort(), bench.unit().outputPortName());
        QCOMPARE(window.setting().remoteMidiOutPort(), bench.pads().inputPortName());

        // The unit's next answer is its serial reply again.
        QVERIFY(bench.pads().waitForInputConnection());
        QVERIFY(bench.unit().send(DeviceBench::statusReply(DeviceBench::serial, 0x05)));
        QVERIFY(bench.unit().waitForMessages(2));
        QVERIFY(bench.pads().waitForMessages(6));
        QCOMPARE(bench.unit().received().at(1),
                 DeviceBench::initStatusRequest(DeviceBench::serial));
        QCOMPARE(bench.pads().received(), DeviceBench::feedback(4));
        QCOMPARE(window.linkStatus(), int(TarnAppMainWindow::Complete));
    }

    void portThatFailsToOpen()
    {
        DeviceBench bench;
        TarnAppMainWindow &window = bench.start();
        QVERIFY(bench.awaitSerialRequest());
        // A device that is unplugged while the dialog lists it.
        auto gone = std::make_unique<MidiPeer>("devc-gone", MidiPeer::Output);
        const QString goneName = gone->outputPortName();

        bool listed = false;
        QWidget *boxParent = nullptr;
        QWidget *settingDialog = nullptr;
        ModalAnswerer answerer;
        answerer.answerNext([&](QWidget *dialog) {
            settingDialog = dialog;
            auto *remoteIn = child<QComboBox>(dialog, "comboRemoteMidiIn");
            const int entry = remoteIn->findText(goneName);
            listed = entry > 0;
            remoteIn->setCurrentIndex(entry);
            child<QComboBox>(dialog, "comboRemoteMidiOut")->setCurrentIndex(0);
            child<QLineEdit>(dialog, "textPresetName1")->setText("Lead");
            gone.reset();
            press(dialog, "pushOK");
        });
        answerer.answerNext([&](QWidget *box) {
            boxParent = box->parentWidget();
            ModalAnswerer::close(box);
        });
        window.settingButton()->click();
        TestWait::runEventLoop(100);

        QVERIFY(listed);
        QCOMPARE(answerer.titles(), QStringList({"Hard Settings", "Midi Connect Error"}));
        const ModalAnswerer::Seen box = answerer.seen().at(1);
        QCOMPARE(box.className, QString("QMessageBox"));
        QVERIFY2(box.text.contains(goneName), qPrintable(box.text));
        QCOMPARE(boxParent, settingDialog);
        // The remote input was closed before the open failed; the remote
        // output, which comes after it, was not touched.
        QVERIFY(!window.remoteIn()->isPortOpen());
        QCOMPARE(bench.pads().outputConnections(), 0);
        QVERIFY(window.remoteOut()->isPortOpen());
        QCOMPARE(bench.pads().inputConnections(), 1);
        // OK still saves, relabels and closes.
        QCOMPARE(bench.storedValue("RemoteMidiInPort").toString(), goneName);
        QCOMPARE(bench.storedValue("RemoteMidiOutPort"), QVariant(QString("")));
        QCOMPARE(bench.storedValue("Preset1").toString(), QString("Lead"));
        QCOMPARE(window.presetButton(0)->text(), QString("PRESET1\r\nLead"));
        QVERIFY(!window.settingDialog()->isVisible());
        QCOMPARE(bench.unit().receivedCount(), 1);
    }

    void openFileWithoutPortKeys()
    {
        DeviceBench bench;
        TarnAppMainWindow &window = bench.start();
        QVERIFY(bench.awaitSerialRequest());
        ConnectionLog connections(allPorts(bench));
        QTemporaryDir folder;
        const QString path = folder.filePath("other.ini");
        writeIni(
            path,
            {{"Preset2", "Bass"}, {"Preset5", "Pad"}, {"FootSwitchIndex", 3}, {"DispType", 1}});
        const QByteArray defaultBefore = bench.settingFileText();

        struct
        {
            int hardIn = -1, hardOut = -1;
            QString remoteIn, remoteOut, name2, name5;
            int footSwitch = -1;
            bool horizontal = false;
        } shown;
        ModalAnswerer answerer;
        answerer.answerNext([&](QWidget *dialog) {
            press(dialog, "pushOpen");
            shown.hardIn = child<QComboBox>(dialog, "comboHardMidiIn")->currentIndex();
            shown.hardOut = child<QComboBox>(dialog, "comboHardMidiOut")->currentIndex();
            shown.remoteIn = child<QComboBox>(dialog, "comboRemoteMidiIn")->currentText();
            shown.remoteOut = child<QComboBox>(dialog, "comboRemoteMidiOut")->currentText();
            shown.name2 = child<QLineEdit>(dialog, "textPresetName2")->text();
            shown.name5 = child<QLineEdit>(dialog, "textPresetName5")->text();
            shown.footSwitch = child<QComboBox>(dialog, "comboFootSwitchPreset")->currentIndex();
            shown.horizontal = child<QRadioButton>(dialog, "radioButtonH")->isChecked();
            press(dialog, "pushCancel");
        });
        answerer.answerNext(ModalAnswerer::chooseFile(path));
        window.settingButton()->click();
        TestWait::runEventLoop(100);

        QCOMPARE(answerer.titles(), QStringList({"Hard Settings", "Open Setting File"}));
        const ModalAnswerer::Seen fileDialog = answerer.seen().at(1);
        QCOMPARE(fileDialog.nameFilters, QStringList({"All File(*.*)", "Ini File(*.ini)"}));
        QCOMPARE(fileDialog.selectedNameFilter, QString("Ini File(*.ini)"));

        // The record took the file at once, port names emptied.
        QVERIFY(window.setting().hardwareMidiInPort().isEmpty());
        QVERIFY(window.setting().hardwareMidiOutPort().isEmpty());
        QVERIFY(window.setting().remoteMidiInPort().isEmpty());
        QVERIFY(window.setting().remoteMidiOutPort().isEmpty());
        QCOMPARE(window.setting().presetName(1), QString("Bass"));
        QCOMPARE(window.setting().dispType(), 1);
        // Hardware lists on their first port, remote lists on "none".
        QCOMPARE(shown.hardIn, 0);
        QCOMPARE(shown.hardOut, 0);
        QCOMPARE(shown.remoteIn, QString("none"));
        QCOMPARE(shown.remoteOut, QString("none"));
        QCOMPARE(shown.name2, QString("Bass"));
        QCOMPARE(shown.name5, QString("Pad"));
        QCOMPARE(shown.footSwitch, 3);
        QVERIFY(shown.horizontal);
        QCOMPARE(window.presetButton(1)->text(), QString("PRESET2\r\nBass"));
        QCOMPARE(window.presetButton(4)->text(), QString("PRESET5\r\nPad"));
        QCOMPARE(window.presetButton(0)->text(), QString("PRESET1\r\n#NAME"));
        // The ports in use stay as they are; no file is written.
        QCOMPARE(connections.events(), QStringList());
        QVERIFY(window.hardIn()->isPortOpen() && window.remoteIn()->isPortOpen());
        QCOMPARE(bench.settingFileText(), defaultBefore);
        QCOMPARE(bench.unit().receivedCount(), 1);
    }

    void openFileWithDispTypeSeven()
    {
        DeviceBench bench;
        TarnAppMainWindow &window = bench.start();
        QVERIFY(bench.awaitSerialRequest());
        QTemporaryDir folder;
        const QString path = folder.filePath("seven.ini");
        writeIni(path, {{"HardwareMidiInPort", bench.unit().outputPortName()},
                        {"HardwareMidiOutPort", bench.unit().inputPortName()},
                        {"RemoteMidiInPort", bench.pads().outputPortName()},
                        {"RemoteMidiOutPort", bench.pads().inputPortName()},
                        {"Preset1", "Seven"},
                        {"FootSwitchIndex", 9},
                        {"DispType", 7}});

        bool vertical = false, grid = true, horizontal = true;
        int footSwitch = -1;
        ModalAnswerer answerer;
        answerer.answerNext([&](QWidget *dialog) {
            child<QRadioButton>(dialog, "radioButtonV")->setChecked(true);
            child<QComboBox>(dialog, "comboFootSwitchPreset")->setCurrentIndex(2);
            press(dialog, "pushOpen");
            vertical = child<QRadioButton>(dialog, "radioButtonV")->isChecked();
            grid = child<QRadioButton>(dialog, "radioButtonGrid")->isChecked();
            horizontal = child<QRadioButton>(dialog, "radioButtonH")->isChecked();
            footSwitch = child<QComboBox>(dialog, "comboFootSwitchPreset")->currentIndex();
            press(dialog, "pushOK");
        });
        answerer.answerNext(ModalAnswerer::chooseFile(path));
        window.settingButton()->click();
        TestWait::runEventLoop(100);

        QCOMPARE(answerer.titles(), QStringList({"Hard Settings", "Open Setting File"}));
        // Out-of-range values leave the dialog's choices as they were...
        QVERIFY(vertical);
        QVERIFY(!grid);
        QVERIFY(!horizontal);
        QCOMPARE(footSwitch, 2);
        // ...and OK stores the dialog's choices, not the file's.
        QCOMPARE(bench.storedValue("DispType").toString(), QString("2"));
        QCOMPARE(bench.storedValue("FootSwitchIndex").toString(), QString("2"));
        QCOMPARE(bench.storedValue("Preset1").toString(), QString("Seven"));
        QCOMPARE(window.presetButton(0)->text(), QString("PRESET1\r\nSeven"));
        // Same port names as in use: OK reopened nothing.
        QCOMPARE(bench.unit().receivedCount(), 1);
    }

    void saveAsThenCancel()
    {
        DeviceBench bench;
        TarnAppMainWindow &window = bench.start();
        QVERIFY(bench.awaitSerialRequest());
        ConnectionLog connections(allPorts(bench));
        QTemporaryDir folder;
        const QString path = folder.filePath("saved.ini");
        const QByteArray defaultBefore = bench.settingFileText();

        QString captionInside;
        ModalAnswerer answerer;
        answerer.answerNext([&](QWidget *dialog) {
            child<QLineEdit>(dialog, "textPresetName1")->setText("Lead");
            child<QComboBox>(dialog, "comboFootSwitchPreset")->setCurrentIndex(2);
            child<QRadioButton>(dialog, "radioButtonH")->setChecked(true);
            press(dialog, "pushSaveAs");
            captionInside = window.presetButton(0)->text();
            press(dialog, "pushCancel");
        });
        answerer.answerNext(ModalAnswerer::chooseFile(path));
        window.settingButton()->click();
        TestWait::runEventLoop(100);

        QCOMPARE(answerer.titles(), QStringList({"Hard Settings", "Save Setting File"}));
        QCOMPARE(answerer.seen().at(1).nameFilters,
                 QStringList({"All File(*.*)", "Ini File(*.ini)"}));
        QCOMPARE(answerer.seen().at(1).selectedNameFilter, QString("Ini File(*.ini)"));
        QCOMPARE(captionInside, QString("PRESET1\r\nLead"));
        // The chosen file holds the dialog's values.
        QCOMPARE(iniValue(path, "Preset1").toString(), QString("Lead"));
        QCOMPARE(iniValue(path, "FootSwitchIndex").toString(), QString("2"));
        QCOMPARE(iniValue(path, "DispType").toString(), QString("1"));
        QCOMPARE(iniValue(path, "HardwareMidiInPort").toString(), bench.unit().outputPortName());
        QCOMPARE(iniValue(path, "RemoteMidiOutPort").toString(), bench.pads().inputPortName());
        QCOMPARE(iniValue(path, "SerialNumber"), QVariant(QString("")));
        // So does the record, after CANCEL too; the default file does not.
        QCOMPARE(window.setting().presetName(0), QString("Lead"));
        QCOMPARE(window.setting().footSwitchIndex(), 2);
        QCOMPARE(window.setting().dispType(), 1);
        QCOMPARE(window.presetButton(0)->text(), QString("PRESET1\r\nLead"));
        QCOMPARE(bench.settingFileText(), defaultBefore);
        QCOMPARE(connections.events(), QStringList());

        // The serial number's arrival writes the record to the default file.
        QVERIFY(bench.completeLink(0x01));
        QCOMPARE(bench.storedValue("Preset1").toString(), QString("Lead"));
        QCOMPARE(bench.storedValue("FootSwitchIndex").toString(), QString("2"));
        QCOMPARE(bench.storedValue("SerialNumber").toString(), QString("0A-1B-2C-3D-4E-5F-60-71"));
    }

    void saveAsCancelledChangesNothing()
    {
        DeviceBench bench;
        TarnAppMainWindow &window = bench.start();
        const QByteArray defaultBefore = bench.settingFileText();

        ModalAnswerer answerer;
        answerer.answerNext([&](QWidget *dialog) {
            child<QLineEdit>(dialog, "textPresetName1")->setText("Lead");
            press(dialog, "pushSaveAs"); // the file dialog is cancelled
            press(dialog, "pushCancel");
        });
        window.settingButton()->click();
        TestWait::runEventLoop(50);

        QCOMPARE(answerer.titles(), QStringList({"Hard Settings", "Save Setting File"}));
        QVERIFY(window.setting().presetName(0).isEmpty());
        QCOMPARE(window.presetButton(0)->text(), QString("PRESET1\r\n#NAME"));
        QCOMPARE(bench.settingFileText(), defaultBefore);
    }
};

QTEST_MAIN(TestSettingDialog)
#include "tst_settingdialog.moc"
