// The program's files and main window without MIDI: the setting file (with
// the link's times), the window state, the arrangements and the About
// window. Main thread.

#include "debugcapture.h"
#include "modalanswerer.h"
#include "stagestyle.h"
#include "testwait.h"
#include "windowbench.h"

#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <unistd.h>

class TestApp : public QObject
{
    Q_OBJECT

private slots:
    // Catches a renamed key, text the file format mangles, a serial number
    // in another form or read back, a field lost on the way, and a missing
    // binding not saved as today's controller.
    void settingFile()
    {
        QVariantMap file{{"FootSwitchIndex", "4"},
                         {"DispType", "1"},
                         {"SerialNumber", "7F-0A"},
                         {"ConfirmTimeout", "150"},
                         {"LinkCheckSeconds", "30"}};
        for (QString key : QString("HardwareMidiInPort HardwareMidiOutPort RemoteMidiInPort "
                                   "RemoteMidiOutPort Preset1 Preset2 Preset3 Preset4 Preset5")
                               .split(' '))
            file[key] = key + ": Über, = @; ";
        file["Preset6"] = "";
        // Remote bindings: one hand-written, one empty, the rest missing.
        file["RemotePreset1"] = " NOTE 3 60 on";
        file["RemotePrevious"] = "";
        QTemporaryDir dir;
        WindowBench::write(dir.filePath("a.ini"), file);
        AppSetting record;
        record.loadSettingFile(dir.filePath("a.ini"));
        QVERIFY(record.serialNumber().empty());
        record.setSerialNumber({0x01, 0x7F, 0x0A});
        record.saveSettingFile(dir.filePath("b.ini"));
        file["SerialNumber"] = "01-7F-0A";
        file["RemotePreset1"] = "note 3 60 on";
        for (int i = 2; i <= 6; ++i)
            file[QString("RemotePreset%1").arg(i)] = QString("note any %1 127").arg(53 + i);
        file["RemoteNext"] = "";
        file["RemoteFootSwitch"] = "note any 69 0";
        for (const char *key : {"RemoteNextPart", "RemotePreviousPart", "RemoteNextSong",
                                "RemotePreviousSong", "SetlistFile", "SetlistPosition"})
            file[key] = "";
        QCOMPARE(WindowBench::read(dir.filePath("b.ini")), file);
    }

    // What a damaged file gives: what it holds and defaults for the rest
    // (also for keys it lacks), no crash; where nothing can be written, saving
    // changes nothing.
    void damagedSettingFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("preset3");
        QTest::addColumn<int>("dispType");
        QTest::newRow("wrong types, binary")
            << "file"
            << QByteArray("Preset3=@Rect(1 2 3 4)\nDispType=@Size(5 6)\n") +
                   QByteArray::fromHex("00ff5b0a3d80fe0d0a00")
            << "" << 0;
        QTest::newRow("a folder") << "folder" << QByteArray() << "" << 0;
        QTest::newRow("read-only")
            << "read-only" << QByteArray("Preset3=Kept\nDispType=2\n") << "Kept" << 2;
    }
    void damagedSettingFile()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, content);
        const bool readOnly = kind == "read-only";
        QTemporaryDir dir;
        const QString path = dir.filePath("TarnAppSetting.ini");
        QFile file(path);
        QVERIFY(kind == "folder" ? QDir().mkpath(path) : file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        // Root writes through permission bits, but not into an immutable folder.
        const auto writable = [&](bool on) {
            QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner |
                                                  (on ? QFile::WriteOwner : QFile::ReadOwner));
            if (geteuid() == 0)
                QProcess::execute("chattr", {on ? "-i" : "+i", dir.path()});
        };
        writable(!readOnly);
        AppSetting record;
        record.setHardwareMidiInPort("old");
        record.setDispType(1);
        record.loadSettingFile(path);
        QTEST(record.presetName(2), "preset3");
        QTEST(record.dispType(), "dispType");
        QVERIFY(record.hardwareMidiInPort().isEmpty());
        record.saveSettingFile(path);
        writable(true);
        QCOMPARE(QFileInfo(path).isDir(), kind == "folder");
        QVERIFY(!readOnly || (file.open(QIODevice::ReadOnly) && file.readAll() == content));
    }

    // Catches a timeout value taken as it stands when it is none, or
    // replaced without a word.
    void timeoutValues_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("timeout");
        QTest::addColumn<int>("checkSeconds");
        QTest::addColumn<QString>("debug");
        QTest::newRow("missing") << QByteArray() << 300 << 0 << "";
        QTest::newRow("off") << QByteArray("ConfirmTimeout=0") << 0 << 0 << "";
        QTest::newRow("in range") << QByteArray("ConfirmTimeout=20\nLinkCheckSeconds=5") << 20 << 5
                                  << "";
        QTest::newRow("letters")
            << QByteArray("ConfirmTimeout=fast") << 300 << 0
            << "Setting: ConfirmTimeout holds no usable value (\"fast\"); 300 is used";
        QTest::newRow("too short")
            << QByteArray("ConfirmTimeout=19") << 300 << 0
            << "Setting: ConfirmTimeout holds no usable value (\"19\"); 300 is used";
        QTest::newRow("too long")
            << QByteArray("ConfirmTimeout=5001") << 300 << 0
            << "Setting: ConfirmTimeout holds no usable value (\"5001\"); 300 is used";
        QTest::newRow("negative check")
            << QByteArray("LinkCheckSeconds=-1") << 300 << 0
            << "Setting: LinkCheckSeconds holds no usable value (\"-1\"); 0 is used";
    }

    void timeoutValues()
    {
        QFETCH(QByteArray, line);
        QTemporaryDir dir;
        QFile file(dir.filePath("a.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(line + "\n") >= 0);
        file.close();
        DebugCapture debug;
        AppSetting record;
        record.loadSettingFile(file.fileName());
        QTEST(record.confirmTimeout(), "timeout");
        QTEST(record.linkCheckSeconds(), "checkSeconds");
        QTEST(debug.lines("Setting:").join('\n'), "debug");
    }

    // Catches a window restored off every screen or partly off it, a size
    // kept that the screen (offscreen: 800 wide, frames of 2) cannot hold,
    // an overflow of huge numbers, a font size Qt rejects, and a state not
    // written back (a first start's state is checked with the program itself).
    void windowState_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("letters, no Y") << "Width=wide X=50 Height=300" << QRect(2, 200, 796, 300);
        QTest::newRow("partly off")
            << "X=-300 Y=-100 Width=500 Height=300" << QRect(2, 2, 500, 300);
        QTest::newRow("wholly off")
            << "X=9000 Y=50 Width=550 Height=350" << QRect(200, 200, 550, 350);
        QTest::newRow("wider than the screen")
            << "X=100 Y=50 Width=2400 Height=500" << QRect(2, 50, 796, 500);
        QTest::newRow("huge, font -4")
            << "X=2147483647 Width=500 Height=300 FontSize=-4" << QRect(200, 200, 500, 300);
    }
    void windowState()
    {
        QFETCH(QString, stored);
        QFETCH(QRect, geometry);
        WindowBench bench({}, false);
        QVariantMap state;
        for (const QString &pair : stored.split(' '))
            state[pair.section('=', 0, 0)] = pair.section('=', 1);
        WindowBench::write(AppSetting::windowStateFilePath(), state);
        bench.start();
        QCOMPARE(bench.window().geometry(), geometry);
        QCOMPARE(bench.log().lines("QFont"), QStringList());
        const int font = bench.widget<QLabel>("labelHardConnection")->font().pointSize();
        bench.finish();
        state = WindowBench::read(AppSetting::windowStateFilePath());
        QCOMPARE(state["FontSize"].toInt(), font);
        QCOMPARE(QRect(state["X"].toInt(), state["Y"].toInt(), state["Width"].toInt(),
                       state["Height"].toInt()),
                 geometry);
    }

    // Two rows, one row, one column, chosen in the settings dialog from a
    // window whose file held an unknown value; Grid chosen again gives the
    // first window back, every widget where it was (so the unknown value gave
    // the grid too); the font follows the window.
    void arrangements_data()
    {
        QTest::addColumn<QString>("radio");
        QTest::addColumn<QSize>("grid");
        QTest::newRow("grid") << "Grid" << QSize(4, 2);
        QTest::newRow("horizontal") << "H" << QSize(6, 1);
        QTest::newRow("vertical") << "V" << QSize(1, 6);
    }
    void arrangements()
    {
        QFETCH(QString, radio);
        WindowBench bench({{"DispType", 7}});
        TarnAppMainWindow &window = bench.window();
        const auto places = [&] {
            window.centralWidget()->layout()->activate();
            QList<QRect> places{window.rect()};
            for (QWidget *widget : window.centralWidget()->findChildren<QWidget *>())
                places << widget->geometry();
            return places;
        };
        const auto choose = [&](const QString &radio) {
            bench.widget<QRadioButton>(qPrintable("radioButton" + radio))->setChecked(true);
            bench.widget<QPushButton>("pushOK")->click();
        };
        const QList<QRect> before = places();
        choose(radio);
        QCOMPARE(places() == before, radio == "Grid");
        QSet<int> columns, rows;
        for (int i = 0; i < 6; ++i)
            columns << bench.presetButton(i)->x(), rows << bench.presetButton(i)->y();
        QTEST(QSize(columns.size(), rows.size()), "grid");
        choose("Grid");
        QCOMPARE(places(), before);
        choose(radio);
        // Smaller: a window can always shrink, where Qt 6 keeps one inside its screen.
        const int font = bench.presetButton(0)->font().pointSize();
        window.resize(window.size() / 2);
        QVERIFY(TestWait::until([&] { return bench.presetButton(0)->font().pointSize() < font; }));
    }

    // Catches text a stage light or a tired eye cannot read (white under the
    // mouse on light blue, on the active orange, on a disabled grey; grey or
    // red captions on the window), a state the style sheet leaves out, and a
    // focus frame that does not stand out from its button.
    void readable_data()
    {
        QTest::addColumn<QString>("background"); // a button's base colour, or the window's
        QTest::addColumn<QString>("caption");    // text on the window; empty for a button
        QTest::newRow("active preset") << StageStyle::ActiveColor << "";
        QTest::newRow("choosable preset") << StageStyle::ChoosableColor << "";
        QTest::newRow("disabled preset") << StageStyle::OffColor << "";
        QTest::newRow("asked, not confirmed") << StageStyle::PendingColor << "";
        QTest::newRow("settings") << StageStyle::SettingColor << "";
        QTest::newRow("link on") << StageStyle::WindowColor << StageStyle::OnCaptionColor;
        QTest::newRow("link off") << StageStyle::WindowColor << StageStyle::OffCaptionColor;
        QTest::newRow("message") << StageStyle::WindowColor << StageStyle::MessageColor;
    }
    void readable()
    {
        QFETCH(QString, background);
        QFETCH(QString, caption);
        if (!caption.isEmpty()) {
            QVERIFY(StageStyle::contrast(QColor(background), QColor(caption)) >= 4.5);
            return;
        }
        const QString sheet = StageStyle::buttonSheet(background);
        QStringList states;
        for (const StageStyle::Look &look : StageStyle::looks(background)) {
            states << look.state;
            QVERIFY2(StageStyle::contrast(QColor(look.background), QColor(look.text)) >= 4.5,
                     qPrintable(look.state));
            QVERIFY2(sheet.contains("{background-color:" + look.background + ";color:" + look.text),
                     qPrintable(look.state));
        }
        QCOMPARE(states, QStringList({"normal", "hover", "pressed", "disabled"}));
        const QRegularExpression focus(":focus \\{border: (\\d+)px solid (#\\w+);");
        const QRegularExpressionMatch frame = focus.match(sheet);
        QVERIFY(frame.hasMatch() && frame.captured(1).toInt() >= 3);
        QVERIFY(StageStyle::contrast(QColor(background), QColor(frame.captured(2))) >= 3);
    }

    // The About window follows the main window and shows its logo from any
    // current directory, with no logo file anywhere near (an emptied home).
    void about()
    {
        QDir::setCurrent(QDir::homePath());
        WindowBench bench;
        QList<QPoint> offsets;
        ModalAnswerer answerer;
        for (const QPoint &place : {QPoint(200, 200), QPoint(60, 90)}) {
            bench.window().move(place);
            answerer.answerNext([&](QWidget *about) {
                offsets << about->pos() - place;
                const QLabel *logo = about->findChild<QLabel *>("label");
                QVERIFY(logo && !logo->pixmap(Qt::ReturnByValue).isNull());
                ModalAnswerer::close(about);
            });
            bench.window().on_about();
        }
        QCOMPARE(offsets.size(), 2);
        QVERIFY(offsets[0] == offsets[1] && !offsets[0].isNull());
    }
};

QTEST_MAIN(TestApp)
#include "tst_app.moc"
