// The settings dialog driven as a user drives it: which ports end up
// connected, when the unit is asked for its serial number, what is stored,
// and what the fields show when the dialog is left.
#include "jackprobe.h"
#include "modalanswerer.h"
#include "peer.h"
#include "testwait.h"
#include "windowbench.h"

#include "hardsettingdialog.h"
#include "qmidiin.h"
#include "qmidiout.h"
#include "tarnappmainwindow.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString SerialRequest = "Send   : F0 00 11 22 0A 00 00 00 00 02 00 F7";

template <class Widget> Widget *field(QWidget *dialog, const char *name)
{
    return dialog->findChild<Widget *>(QString::fromLatin1(name));
}

void choose(QWidget *dialog, const char *list, const QString &text)
{
    auto *combo = field<QComboBox>(dialog, list);
    combo->setCurrentIndex(combo->findText(text));
}

int serialRequests(WindowBench &bench)
{
    return bench.traffic().count(SerialRequest);
}

// Shows the dialog from the window's button; answer runs inside it.
void showDialog(WindowBench &bench, ModalAnswerer &answerer, const ModalAnswerer::Answer &answer)
{
    answerer.answerNext(answer);
    bench.window().settingButton()->click();
}

QVariant stored(const char *key)
{
    return WindowBench::read(TarnAppMainWindow::settingFilePath()).value(key);
}

} // namespace

// The Qt Test cases of this file; GUI thread.
class TestSettingDialog : public QObject
{
    Q_OBJECT

private slots:
    // OK reopens a port when its list differs from what the port object has
    // open, whatever OPEN and SAVE AS did to the record meanwhile.
    void okReopensWhatDiffersFromTheOpenPorts_data()
    {
        QTest::addColumn<char>("startWith");
        QTest::addColumn<QString>("step");
        QTest::addColumn<char>("connected");
        QTest::addColumn<int>("requests");
        QTest::newRow("nothing changed") << 'a' << "" << 'a' << 0;
        QTest::newRow("SAVE AS with another unit chosen") << 'a' << "save b" << 'b' << 1;
        QTest::newRow("OPEN naming another unit") << 'b' << "open a" << 'a' << 1;
        QTest::newRow("OPEN naming the unit in use") << 'a' << "open a" << 'a' << 0;
        QTest::newRow("unit switched on after start") << 'a' << "switch on" << 'a' << 1;
    }

    void okReopensWhatDiffersFromTheOpenPorts()
    {
        QFETCH(char, startWith);
        QFETCH(QString, step);
        QFETCH(char, connected);
        QFETCH(int, requests);
        Peer a("h-dlg-a"), b("h-dlg-b");
        Peer &first = startWith == 'a' ? a : b;
        Peer &expected = connected == 'a' ? a : b;
        Peer &notExpected = connected == 'a' ? b : a;
        QTemporaryDir folder;
        const QString file = folder.filePath("unit.ini");
        WindowBench::write(file, WindowBench::ports(&a, nullptr));
        if (step == "switch on")
            first.unplug();
        WindowBench bench(WindowBench::ports(&first, nullptr));
        first.plug();
        const int before = serialRequests(bench);

        ModalAnswerer answerer;
        showDialog(bench, answerer, [&](QWidget *dialog) {
            if (step == "save b") {
                choose(dialog, "comboHardMidiIn", b.out());
                choose(dialog, "comboHardMidiOut", b.in());
                answerer.answerNext(ModalAnswerer::chooseFile(folder.filePath("saved.ini")));
                field<QPushButton>(dialog, "pushSaveAs")->click();
            } else if (step == "open a") {
                answerer.answerNext(ModalAnswerer::chooseFile(file));
                field<QPushButton>(dialog, "pushOpen")->click();
            }
            field<QPushButton>(dialog, "pushOK")->click();
        });

        QVERIFY(jackProbe().waitConnected(expected.in()));
        QVERIFY(jackProbe().waitConnected(expected.out()));
        QVERIFY(jackProbe().connections(notExpected.in()).isEmpty());
        QVERIFY(jackProbe().connections(notExpected.out()).isEmpty());
        QCOMPARE(serialRequests(bench) - before, requests);
        QCOMPARE(stored("HardwareMidiInPort").toString(), expected.out());
    }

    void absentStoredPortsAreShownAndKept()
    {
        Peer unit("h-dlg-unit"), pads("h-dlg-pads"), present("h-dlg-present");
        const QVariantMap ports = WindowBench::ports(&unit, &pads);
        unit.unplug();
        pads.unplug();
        WindowBench bench(ports);

        QStringList shown;
        ModalAnswerer answerer;
        showDialog(bench, answerer, [&](QWidget *dialog) {
            for (const char *list :
                 {"comboHardMidiIn", "comboHardMidiOut", "comboRemoteMidiIn", "comboRemoteMidiOut"})
                shown << field<QComboBox>(dialog, list)->currentText();
            field<QLineEdit>(dialog, "textPresetName1")->setText("Lead");
            field<QPushButton>(dialog, "pushOK")->click();
        });

        const QString mark = " (not connected)";
        QCOMPARE(shown, QStringList({unit.out() + mark, unit.in() + mark, pads.out() + mark,
                                     pads.in() + mark}));
        const QVariantMap file = WindowBench::read(TarnAppMainWindow::settingFilePath());
        for (auto it = ports.begin(); it != ports.end(); ++it)
            QCOMPARE(file.value(it.key()), it.value());
        QCOMPARE(file.value("Preset1"), QVariant("Lead"));
        TarnAppMainWindow &window = bench.window();
        QVERIFY(!window.hardIn()->isPortOpen() && !window.hardOut()->isPortOpen());
        QVERIFY(!window.remoteIn()->isPortOpen() && !window.remoteOut()->isPortOpen());
        QCOMPARE(serialRequests(bench), 0);
    }

    // Return in a field is OK; every other way out keeps the record, and the
    // fields (the foot switch among them) show the record again.
    void leavingTheDialog_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<bool>("kept");
        QTest::newRow("Return in a field") << "return" << true;
        QTest::newRow("CANCEL") << "cancel" << false;
        QTest::newRow("Escape") << "escape" << false;
        QTest::newRow("title bar") << "close" << false;
    }

    void leavingTheDialog()
    {
        QFETCH(QString, way);
        QFETCH(bool, kept);
        Peer unit("h-dlg-unit");
        QVariantMap setting = WindowBench::ports(&unit, nullptr);
        setting["Preset1"] = "Bass";
        setting["FootSwitchIndex"] = 1;
        setting["DispType"] = 0;
        WindowBench bench(setting);
        const int before = serialRequests(bench);

        ModalAnswerer answerer;
        showDialog(bench, answerer, [&](QWidget *dialog) {
            auto *name = field<QLineEdit>(dialog, "textPresetName1");
            name->setText("Lead");
            field<QComboBox>(dialog, "comboFootSwitchPreset")->setCurrentIndex(4);
            field<QRadioButton>(dialog, "radioButtonV")->setChecked(true);
            if (way == "return")
                QTest::keyClick(name, Qt::Key_Return);
            else if (way == "escape")
                QTest::keyClick(name, Qt::Key_Escape);
            else if (way == "cancel")
                field<QPushButton>(dialog, "pushCancel")->click();
            else
                dialog->close();
        });

        TarnAppMainWindow &window = bench.window();
        QWidget *dialog = window.settingDialog();
        QVERIFY(!dialog->isVisible());
        QCOMPARE(answerer.seen(), QStringList{"Hard Settings: "});
        QCOMPARE(serialRequests(bench), before);
        const AppSetting &record = window.setting();
        QCOMPARE(record.presetName(0), QString(kept ? "Lead" : "Bass"));
        QCOMPARE(record.footSwitchIndex(), kept ? 4 : 1);
        QCOMPARE(record.dispType(), kept ? 2 : 0);
        QCOMPARE(stored("Preset1").toString(), record.presetName(0));
        QCOMPARE(field<QLineEdit>(dialog, "textPresetName1")->text(), record.presetName(0));
        QCOMPARE(window.settingDialog()->footSwitchPreset(), record.footSwitchIndex() - 1);
        QCOMPARE(field<QRadioButton>(dialog, "radioButtonV")->isChecked(), kept);
    }

    void remotePortSetToTheUnitsOwnIsClosed()
    {
        Peer unit("h-dlg-unit"), pads("h-dlg-pads");
        WindowBench bench(WindowBench::ports(&unit, &pads));
        QVERIFY(jackProbe().waitConnected(pads.out()));

        ModalAnswerer answerer;
        showDialog(bench, answerer, [&](QWidget *dialog) {
            choose(dialog, "comboRemoteMidiIn", unit.out());
            field<QPushButton>(dialog, "pushOK")->click();
        });

        QVERIFY(!bench.window().remoteIn()->isPortOpen());
        QVERIFY(jackProbe().connections(pads.out()).isEmpty());
        QCOMPARE(stored("RemoteMidiInPort"), QVariant(""));
        QVERIFY(bench.window().remoteLamp()->styleSheet().contains("#888888"));
    }

    void connectErrorAfterAHardwareReopenAsksTheNewUnit()
    {
        Peer a("h-dlg-a"), b("h-dlg-b");
        auto gone = std::make_unique<Peer>("h-dlg-gone");
        WindowBench bench(WindowBench::ports(&a, nullptr));
        a.send({0xF0, 0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F, 0x60, 0x71, 0x01, 0x03, 0xF7});
        QVERIFY(TestWait::until(
            [&] { return bench.window().linkStatus() == TarnAppMainWindow::Complete; }));

        ModalAnswerer answerer;
        showDialog(bench, answerer, [&](QWidget *dialog) {
            choose(dialog, "comboHardMidiIn", b.out());
            choose(dialog, "comboHardMidiOut", b.in());
            choose(dialog, "comboRemoteMidiIn", gone->out());
            gone.reset(); // unplugged while listed
            field<QPushButton>(dialog, "pushOK")->click();
        });

        QCOMPARE(answerer.seen().size(), 2);
        QVERIFY(answerer.seen().at(1).startsWith("Midi Connect Error: "));
        QVERIFY(jackProbe().waitConnected(b.in()));
        QCOMPARE(serialRequests(bench), 2);
        QCOMPARE(bench.window().linkStatus(), int(TarnAppMainWindow::WaitSerial));
        QCOMPARE(bench.window().messageLabel()->text(),
                 QString("Serial number isn't being received."));
    }

    // Fonts follow the arrangement installed, which OPEN then CANCEL leaves
    // as it was and which is the grid for an unknown display type.
    void fontsFollowTheInstalledArrangement_data()
    {
        QTest::addColumn<int>("startType");
        QTest::addColumn<int>("openedType"); // -1: no file opened
        QTest::newRow("OPEN then CANCEL") << 0 << 1;
        QTest::newRow("unknown display type") << 5 << -1;
    }

    void fontsFollowTheInstalledArrangement()
    {
        QFETCH(int, startType);
        QFETCH(int, openedType);
        QTemporaryDir folder;
        const QString file = folder.filePath("horizontal.ini");
        WindowBench::write(file, {{"DispType", openedType}});
        WindowBench bench({{"DispType", startType}});
        if (openedType >= 0) {
            ModalAnswerer answerer;
            showDialog(bench, answerer, [&](QWidget *dialog) {
                answerer.answerNext(ModalAnswerer::chooseFile(file));
                field<QPushButton>(dialog, "pushOpen")->click();
                field<QPushButton>(dialog, "pushCancel")->click();
            });
        }
        // The grid's sizes for 1150 by 550 pixels: 21 points, 18 for the status texts.
        bench.window().resize(1150, 550);
        QVERIFY(TestWait::until([&] { return bench.window().size() == QSize(1150, 550); }));
        QCOMPARE(bench.window().presetButton(0)->font().pointSize(), 21);
        QCOMPARE(bench.window().messageLabel()->font().pointSize(), 18);
    }
};

QTEST_MAIN(TestSettingDialog)
#include "tst_settingdialog.moc"
