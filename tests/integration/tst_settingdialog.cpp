// The settings dialog driven as a user drives it: which ports end up
// connected, when the unit is asked for its serial number, what is stored,
// and what the fields show when the dialog is left.
#include "jackprobe.h"
#include "modalanswerer.h"
#include "peer.h"
#include "testwait.h"
#include "windowbench.h"

#include "portpair.h"
#include "qmidiin.h"
#include "qmidiout.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

const QString SerialRequest = "Send   : F0 00 11 22 0A 00 00 00 00 02 00 F7";

static void choose(WindowBench &bench, const char *list, const QString &text)
{
    auto *combo = bench.widget<QComboBox>(list);
    combo->setCurrentIndex(combo->findText(text));
}

// The devices here answer nothing: their requests are sent once, as this
// file counts them (asking again is the confirmation tests' matter).
static QVariantMap portsOf(const Peer *unit, const Peer *pads)
{
    QVariantMap setting = WindowBench::ports(unit, pads);
    setting["ConfirmTimeout"] = 0;
    return setting;
}

static QVariantMap stored()
{
    return WindowBench::read(AppSetting::settingFilePath());
}

// The Qt Test cases of this file; GUI thread.
class TestSettingDialog : public QObject
{
    Q_OBJECT

private slots:
    // OK reopens a port when its list differs from what the port object has
    // open, whatever OPEN and SAVE AS did to the record meanwhile.
    void okReopensWhatDiffersFromTheOpenPorts_data()
    {
        QTest::addColumn<QString>("step"); // from unit a, unless "from b"
        QTest::addColumn<int>("requests"); // serial requests in all
        QTest::newRow("SAVE AS with another unit chosen") << "save b" << 2;
        QTest::newRow("OPEN naming another unit") << "open a from b" << 2;
        QTest::newRow("OPEN naming the unit in use") << "open a" << 1;
        QTest::newRow("unit switched on after start") << "switch on" << 1;
    }

    void okReopensWhatDiffersFromTheOpenPorts()
    {
        QFETCH(QString, step);
        QFETCH(int, requests);
        Peer a("h-dlg-a"), b("h-dlg-b");
        Peer &first = step.endsWith("from b") ? b : a;
        Peer &expected = step == "save b" ? b : a, &other = step == "save b" ? a : b;
        QTemporaryDir folder;
        const QString file = folder.filePath("unit.ini");
        WindowBench::write(file, portsOf(&a, nullptr));
        if (step == "switch on")
            first.unplug();
        WindowBench bench(portsOf(&first, nullptr));
        // A unit switched on renumbered (ALSA) keeps the name it was stored under.
        const QString storedName = expected.out();
        first.plug();

        ModalAnswerer answerer;
        answerer.answerNext([&](QWidget *) {
            if (step == "save b") {
                choose(bench, "comboHardMidiIn", b.out());
                choose(bench, "comboHardMidiOut", b.in());
                answerer.answerNext(ModalAnswerer::chooseFile(folder.filePath("saved.ini")));
                bench.widget<QPushButton>("pushSaveAs")->click();
            } else if (step.startsWith("open a")) {
                answerer.answerNext(ModalAnswerer::chooseFile(file));
                bench.widget<QPushButton>("pushOpen")->click();
            }
            bench.widget<QPushButton>("pushOK")->click();
        });
        bench.widget<QPushButton>("pushSetting")->click();

        QVERIFY(jackProbe().waitConnected(expected.in()));
        QVERIFY(jackProbe().waitConnected(expected.out()));
        QVERIFY(jackProbe().connections(other.in()).isEmpty());
        QCOMPARE(bench.traffic().count(SerialRequest), requests);
        QCOMPARE(stored().value("HardwareMidiInPort").toString(), storedName);
    }

    // Return in a field is OK; every other way out keeps the record, and the
    // fields (the foot switch among them) show the record again. Stored ports
    // that are absent are shown as such, kept, and not opened, also beside
    // pads whose ports differ from the unit's only in ALSA's numbers; a unit
    // found renumbered keeps its stored names.
    void leavingTheDialog_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("plugged"); // "pads" on a look-alike cable, or the "unit"
        QTest::newRow("Return in a field") << int(Qt::Key_Return) << "";
        QTest::newRow("CANCEL") << 0 << "";
        QTest::newRow("Escape") << int(Qt::Key_Escape) << "";
        QTest::newRow("Return beside look-alike pads") << int(Qt::Key_Return) << "pads";
        QTest::newRow("Return with the unit renumbered") << int(Qt::Key_Return) << "unit";
    }

    void leavingTheDialog()
    {
        QFETCH(int, key);
        QFETCH(QString, plugged);
        const bool kept = key == Qt::Key_Return, twin = plugged == "pads";
        Peer unit(plugged.isEmpty() ? "h-dlg-unit" : "h-dlg-twin 24:0");
        Peer pads(twin ? "h-dlg-twin 28:0" : "h-dlg-pads", Peer::Pads);
        QVariantMap ports = portsOf(&unit, &pads);
        if (plugged == "unit") // stored before a replug that moved its numbers
            for (const char *name : {"HardwareMidiInPort", "HardwareMidiOutPort"})
                ports[name] =
                    ports[name].toString().replace(QRegularExpression(" \\d+:\\d+$"), " 23:0");
        else
            unit.unplug();
        if (!twin)
            pads.unplug();
        QVariantMap setting = ports;
        setting.insert({{"Preset1", "Bass"}, {"FootSwitchIndex", 1}, {"DispType", 0}});
        WindowBench bench(setting);

        QStringList shown;
        ModalAnswerer answerer;
        answerer.answerNext([&](QWidget *) {
            for (const char *list :
                 {"comboHardMidiIn", "comboHardMidiOut", "comboRemoteMidiIn", "comboRemoteMidiOut"})
                shown << bench.widget<QComboBox>(list)->currentText();
            auto *name = bench.widget<QLineEdit>("textPresetName1");
            name->setText("Lead");
            bench.widget<QComboBox>("comboFootSwitchPreset")->setCurrentIndex(4);
            bench.widget<QRadioButton>("radioButtonV")->setChecked(true);
            bench.widget<QSpinBox>("spinLinkCheckSeconds")->setValue(7);
            if (key)
                QTest::keyClick(name, Qt::Key(key));
            else
                bench.widget<QPushButton>("pushCancel")->click();
        });
        bench.widget<QPushButton>("pushSetting")->click();

        const QString mark = " (not connected)", padsMark = twin ? "" : mark;
        const QString unitMark = plugged == "unit" ? "" : mark;
        QCOMPARE(shown, QStringList({unit.out() + unitMark, unit.in() + unitMark,
                                     pads.out() + padsMark, pads.in() + padsMark}));
        QCOMPARE(bench.window().pads().ports()->isOpen(), twin);
        const QVariantMap file = stored();
        QCOMPARE(file.value("Preset1").toString(), QString(kept ? "Lead" : "Bass"));
        QCOMPARE(file.value("FootSwitchIndex").toInt(), kept ? 4 : 1);
        QCOMPARE(file.value("DispType").toInt(), kept ? 2 : 0);
        QCOMPARE(file.value("LinkCheckSeconds").toInt(), kept ? 7 : 0);
        for (auto it = ports.begin(); it != ports.end(); ++it)
            QCOMPARE(file.value(it.key()), it.value());
        QCOMPARE(answerer.seen().size(), 1); // no connect error for them
        // The fields show the record again.
        QCOMPARE(bench.widget<QLineEdit>("textPresetName1")->text(), file.value("Preset1"));
        QCOMPARE(bench.widget<QComboBox>("comboFootSwitchPreset")->currentIndex(), kept ? 4 : 1);
        QCOMPARE(bench.widget<QRadioButton>("radioButtonV")->isChecked(), kept);
        QCOMPARE(bench.widget<QSpinBox>("spinLinkCheckSeconds")->value(), kept ? 7 : 0);
    }

    // OK closes a remote port set to the unit's own; only the remote output
    // changed, to another port or to none, is brought in line; a port gone
    // meanwhile does not keep a new unit unasked.
    void okWithPortsOfTheUnit()
    {
        Peer a("h-dlg-a"), b("h-dlg-b"), pads("h-dlg-pads"), other("h-dlg-other");
        auto gone = std::make_unique<Peer>("h-dlg-gone");
        WindowBench bench(portsOf(&a, &pads));
        QVERIFY(jackProbe().waitConnected(pads.out()));
        ModalAnswerer answerer;
        answerer.answerNext([&](QWidget *) {
            choose(bench, "comboRemoteMidiIn", a.out());
            bench.widget<QPushButton>("pushOK")->click();
        });
        bench.widget<QPushButton>("pushSetting")->click();
        QVERIFY(!bench.window().pads().ports()->in()->isPortOpen());
        QCOMPARE(stored().value("RemoteMidiInPort"), QVariant(""));
        for (const QString &out : {other.in(), QString()}) {
            answerer.answerNext([&](QWidget *) {
                choose(bench, "comboRemoteMidiOut", out.isEmpty() ? "none" : out);
                bench.widget<QPushButton>("pushOK")->click();
            });
            bench.widget<QPushButton>("pushSetting")->click();
            QCOMPARE(bench.window().pads().ports()->openedName(PortPair::End::Out), out);
            QVERIFY(jackProbe().connections(pads.in()).isEmpty());
        }

        answerer.answerNext([&](QWidget *) {
            choose(bench, "comboHardMidiIn", b.out());
            choose(bench, "comboHardMidiOut", b.in());
            choose(bench, "comboRemoteMidiIn", gone->out());
            gone.reset(); // unplugged while listed
            bench.widget<QPushButton>("pushOK")->click();
        });
        bench.widget<QPushButton>("pushSetting")->click();
        QVERIFY(answerer.seen().value(4).startsWith("Midi Connect Error: "));
        QVERIFY(jackProbe().waitConnected(b.in()));
        QCOMPARE(bench.traffic().count(SerialRequest), 2);
    }

    // Catches the program's own ports (its port objects' ends, "RtMidi
    // Input" and "RtMidi Output") offered as devices, where a page-turner's
    // Page Down in a list would pick one and OK connect the program to itself.
    void ownPortsNotListed()
    {
        Peer a("h-dlg-a"), pads("h-dlg-pads");
        WindowBench bench(portsOf(&a, &pads));
        QVERIFY(jackProbe().waitConnected(pads.out()));
        QVERIFY(bench.window().link().ports()->isOpen());
        QStringList listed;
        ModalAnswerer answerer;
        answerer.answerNext([&](QWidget *) {
            for (const char *name : {"comboHardMidiIn", "comboHardMidiOut", "comboRemoteMidiIn",
                                     "comboRemoteMidiOut"}) {
                auto *list = bench.widget<QComboBox>(name);
                for (int i = 0; i < list->count(); ++i)
                    listed << list->itemText(i);
                list->setFocus();
                QTest::keyClick(list, Qt::Key_PageDown);
                listed << list->currentText();
            }
            bench.widget<QPushButton>("pushCancel")->click();
        });
        bench.widget<QPushButton>("pushSetting")->click();
        QVERIFY(listed.contains(a.in()) && listed.contains(pads.out()));
        QCOMPARE(listed.filter(QRegularExpression("RtMidi (Input|Output)")), QStringList());
    }

    // A port that comes back while OK's connect error shows is followed only
    // once OK is done (inside the box's loop the record still named the old
    // unit, and the window went back to it while the file named the new one);
    // the new unit is then asked for its serial once.
    void portBackWhileTheConnectErrorShows()
    {
        Peer a("h-dlg-a"), c("h-dlg-c"), d("h-dlg-d"), pads("h-dlg-pads");
        QVariantMap settings = portsOf(&a, &pads);
        settings["FootSwitchIndex"] = 2; // the sentinel below
        WindowBench bench(settings);
        ModalAnswerer answerer;
        answerer.answerNext([&](QWidget *) {
            choose(bench, "comboHardMidiIn", c.out());
            choose(bench, "comboHardMidiOut", d.in());
            d.unplug(); // gone while listed: the input opens, the output fails
            bench.widget<QPushButton>("pushOK")->click();
        });
        answerer.answerNext([&](QWidget *box) {
            d.plug();
            jackProbe().settle(); // the window has been told
            QCoreApplication::processEvents();
            ModalAnswerer::close(box);
        });
        bench.widget<QPushButton>("pushSetting")->click();
        QVERIFY(answerer.waitForSeen(2));
        QVERIFY(
            TestWait::until([&] { return bench.window().link().ports()->out()->isPortOpen(); }));
        // The foot switch's preset request comes after every serial request.
        pads.send({0x90, 69, 0});
        const ByteVector request{0xF0, 0x00, 0x11, 0x22, 0x0A, 0x00,
                                 0x00, 0x00, 0x00, 0x02, 0x00, 0xF7};
        QVERIFY(TestWait::until(
            [&] { return !d.received().empty() && d.received().back() != request; }));
        QCOMPARE(std::count(d.received().begin(), d.received().end(), request), 1L);
    }

    // Fonts follow the arrangement installed: the grid for an unknown
    // display type, which OPEN then CANCEL leaves as it was.
    void fontsFollowTheInstalledArrangement()
    {
        QTemporaryDir folder;
        WindowBench::write(folder.filePath("horizontal.ini"), {{"DispType", 1}});
        WindowBench bench({{"DispType", 5}});
        ModalAnswerer answerer;
        answerer.answerNext([&](QWidget *) {
            answerer.answerNext(ModalAnswerer::chooseFile(folder.filePath("horizontal.ini")));
            bench.widget<QPushButton>("pushOpen")->click();
            bench.widget<QPushButton>("pushCancel")->click();
        });
        bench.widget<QPushButton>("pushSetting")->click();
        // The grid's sizes for 1150 by 550 pixels: 21 points, 18 for the status texts.
        bench.window().resize(1150, 550);
        QVERIFY(TestWait::until([&] { return bench.window().size() == QSize(1150, 550); }));
        QCOMPARE(bench.presetButton(0)->font().pointSize(), 21);
        QCOMPARE(bench.widget<QLabel>("labelMessage")->font().pointSize(), 18);
    }
};

QTEST_MAIN(TestSettingDialog)
#include "tst_settingdialog.moc"
