// Configuration files that cannot be written, are damaged, or hold odd
// text: the program starts with what it can read, writes nothing where it
// cannot, shows no message, and keeps any preset name exactly.
#include "appsetting.h"
#include "boxwatcher.h"
#include "devicepeer.h"
#include "hardmessages.h"
#include "hardsettingdialog.h"
#include "privatejackserver.h"
#include "tarnappmainwindow.h"
#include "testwait.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>

namespace {

QString configFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray garbage(int size)
{
    QRandomGenerator random(42);
    QByteArray bytes(size, '\0');
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

QString caption(int index, const QString &name)
{
    return QString("PRESET%1\r\n").arg(index + 1) + (name.isEmpty() ? QString("#NAME") : name);
}

// Runs the program until it has learnt the unit's serial number (and so saved
// its settings), then ends it with SIGTERM, which writes the window state.
QString runProgram(const QStringList &command, const QString &configHome, DevicePeer &unit,
                   const DevicePeer::Bytes &serial)
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", configHome);
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.setStandardOutputFile(QProcess::nullDevice());
    program.start(command.first(), command.mid(1));
    if (!program.waitForStarted())
        return "the program does not start";
    unit.clearReceived();
    if (!unit.waitLinkUp([&] { return unit.waitForMessage(makeInitStatusRequest(serial), 0); }))
        return "the program never talked to the unit";
    ::kill(pid_t(program.processId()), SIGTERM);
    if (!program.waitForFinished(10000))
        return "the program did not end on SIGTERM";
    if (program.exitStatus() != QProcess::NormalExit || program.exitCode() != 0)
        return QString("the program ended with status %1").arg(program.exitCode());
    return QString();
}

} // namespace

class TestFileFaults : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void configFolderIsAFile();
    void readOnlyConfigFolder();
    void damagedSettingFile_data();
    void damagedSettingFile();
    void damagedWindowStateFile_data();
    void damagedWindowStateFile();
    void oddPresetNamesSurvive();

private:
    // With no setting file the window opens the first ports listed, so the
    // service must hold no ports but this test's own.
    PrivateJackServer server{REL_JACK_SERVER, REL_JACK_PIDFILE};
};

void TestFileFaults::initTestCase()
{
    server.makeDefault();
    QVERIFY2(server.start(), qPrintable(server.failure()));
}

void TestFileFaults::cleanupTestCase()
{
    QVERIFY(server.stop());
}

void TestFileFaults::init()
{
    QDir(configFolder()).removeRecursively();
    QFile::remove(configFolder());
}

// Neither file can be written where the folder should be, and neither read.
void TestFileFaults::configFolderIsAFile()
{
    writeFile(configFolder(), "not a folder\n");
    BoxWatcher boxes(20);
    for (int start = 0; start < 2; ++start) {
        TarnAppMainWindow window;
        window.initialize();
        QCOMPARE(window.geometry(), QRect(200, 200, 1100, 400));
        QCOMPARE(window.presetButton(0)->text(), caption(0, QString()));
        window.show();
        // Both writers of the setting file: OK in the dialog and a unit's serial.
        window.settingDialog()->findChild<QPushButton *>("pushOK")->click();
        window.handleHardReply(DevicePeer::statusReply({1, 2, 3, 4, 5, 6, 7, 8}, 2));
        QCOMPARE(window.linkStatus(), int(TarnAppMainWindow::NoPort));
    }
    QVERIFY(QFileInfo(configFolder()).isFile());
    QCOMPARE(readFile(configFolder()), QByteArray("not a folder\n"));
    QCOMPARE(boxes.boxes().size(), 0);
}

// Root writes through any permission bits, so the folder is made read-only
// the one way that holds for root too: a read-only bind mount of it onto
// itself, in a mount namespace of the program's own.
void TestFileFaults::readOnlyConfigFolder()
{
    const QString unshare = QStandardPaths::findExecutable("unshare");
    if (unshare.isEmpty() || QProcess::execute(unshare, {"-m", "true"}) != 0)
        QSKIP("this system gives no mount namespace to make a read-only folder with");
    DevicePeer unit(QString("rel-ff-unit-%1").arg(QCoreApplication::applicationPid()));
    unit.appear();
    const DevicePeer::Bytes serial{9, 8, 7, 6, 5, 4, 3, 2};
    unit.playUnit(serial, 1);

    QTemporaryDir home;
    const QString folder = home.filePath("TarnApp");
    {
        QSettings setting(folder + "/TarnAppSetting.ini", QSettings::IniFormat);
        setting.setValue("HardwareMidiInPort", unit.outputPortName());
        setting.setValue("HardwareMidiOutPort", unit.inputPortName());
        setting.setValue("Preset1", "Old name");
        QSettings state(folder + "/DispStatus.ini", QSettings::IniFormat);
        state.setValue("Width", 900);
        state.setValue("Height", 300);
        state.setValue("X", 10);
        state.setValue("Y", 20);
    }
    const QByteArray setting = readFile(folder + "/TarnAppSetting.ini");
    const QByteArray state = readFile(folder + "/DispStatus.ini");

    // The unit's serial number makes the program save its settings, and the
    // end writes the window state: both fail on the read-only folder.
    const QString readOnly = R"(mount --bind -o ro "$1" "$1" && exec "$2")";
    QCOMPARE(runProgram({unshare, "-m", "sh", "-c", readOnly, "sh", folder, TARNAPP_EXECUTABLE},
                        home.path(), unit, serial),
             QString());
    QCOMPARE(readFile(folder + "/TarnAppSetting.ini"), setting);
    QCOMPARE(readFile(folder + "/DispStatus.ini"), state);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 2);

    // The next start, on a writable folder, took the old values.
    QCOMPARE(runProgram({TARNAPP_EXECUTABLE}, home.path(), unit, serial), QString());
    QSettings written(folder + "/DispStatus.ini", QSettings::IniFormat);
    QCOMPARE(QRect(written.value("X").toInt(), written.value("Y").toInt(),
                   written.value("Width").toInt(), written.value("Height").toInt()),
             QRect(10, 20, 900, 300));
    QCOMPARE(QSettings(folder + "/TarnAppSetting.ini", QSettings::IniFormat)
                 .value("SerialNumber")
                 .toString(),
             QString("09-08-07-06-05-04-03-02"));
}

void TestFileFaults::damagedSettingFile_data()
{
    AppSetting names;
    const QStringList six{"One", "Two", "Three", "Four", "Five", "Six"};
    for (int i = 0; i < six.size(); ++i)
        names.setPresetName(i, six[i]);
    const QString whole = configFolder() + "/whole.ini";
    names.saveSettingFile(whole);
    QByteArray truncated = readFile(whole);
    QFile::remove(whole);
    truncated.truncate(truncated.indexOf("Preset4=") + 10); // "Preset4=Fo"
    const QByteArray huge(1 << 20, 'H');

    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("empty") << QByteArray() << QStringList{"", "", "", "", "", ""};
    QTest::newRow("truncated") << truncated << QStringList{"One", "Two", "Three", "Fo", "", ""};
    QTest::newRow("binary garbage") << garbage(65536) << QStringList();
    QTest::newRow("1 MB value") << "[General]\nPreset2=" + huge + "\n"
                                << QStringList{"", QString(huge), "", "", "", ""};
}

void TestFileFaults::damagedSettingFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, expected);
    writeFile(TarnAppMainWindow::settingFilePath(), content);
    BoxWatcher boxes(20);
    QElapsedTimer timer;
    timer.start();
    auto window = std::make_unique<TarnAppMainWindow>();
    window->initialize();
    window->show();
    QTest::qWait(50);
    const qint64 startMs = timer.elapsed();
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(window->presetButton(i)->text(), caption(i, expected[i]));
    // What was read is saved back whole, and reads back the same.
    window->settingDialog()->findChild<QPushButton *>("pushOK")->click();
    AppSetting reread;
    reread.loadSettingFile(TarnAppMainWindow::settingFilePath());
    for (int i = 0; i < AppSetting::presetCount; ++i)
        QCOMPARE(reread.presetName(i), window->setting().presetName(i));
    window.reset();
    QCOMPARE(boxes.boxes().size(), 0);
    qInfo("started in %lld ms", startMs);
}

void TestFileFaults::damagedWindowStateFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("empty") << QByteArray() << QRect(200, 200, 1100, 400);
    QTest::newRow("truncated") << QByteArray("[General]\nFontSize=16\nHeight=300\nWid")
                               << QRect(200, 200, 1100, 300);
    QTest::newRow("binary garbage") << garbage(65536) << QRect(200, 200, 1100, 400);
    QTest::newRow("1 MB number") << "[General]\nWidth=" + QByteArray(1 << 20, '9') + "\n"
                                 << QRect(200, 200, 1100, 400);
}

void TestFileFaults::damagedWindowStateFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QRect, geometry);
    writeFile(TarnAppMainWindow::windowStateFilePath(), content);
    BoxWatcher boxes(20);
    {
        TarnAppMainWindow window;
        window.initialize();
        QCOMPARE(window.geometry(), geometry);
        window.show();
        QTest::qWait(50);
    }
    // Written back whole on the way out.
    QSettings written(TarnAppMainWindow::windowStateFilePath(), QSettings::IniFormat);
    QCOMPARE(written.value("Width").toInt(), geometry.width());
    QCOMPARE(written.value("Height").toInt(), geometry.height());
    QCOMPARE(boxes.boxes().size(), 0);
}

void TestFileFaults::oddPresetNamesSurvive()
{
    const QStringList names{"Line one\nLine two\r\nthree",
                            "\"Quoted\" 'single' back\\slash \\n",
                            "a=b = c ==",
                            QString::fromUtf8("Клавиши 日本語 Ελληνικά 🎸"),
                            "; not a comment # nor this [General] %percent",
                            "  padded\twith tab  "};
    AppSetting setting;
    for (int i = 0; i < names.size(); ++i)
        setting.setPresetName(i, names[i]);
    setting.saveSettingFile(TarnAppMainWindow::settingFilePath());

    AppSetting loaded;
    loaded.loadSettingFile(TarnAppMainWindow::settingFilePath());
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(loaded.presetName(i), names[i]);

    // Through the program: shown as they are, and saved again by OK unchanged.
    TarnAppMainWindow window;
    window.initialize();
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(window.presetButton(i)->text(), caption(i, names[i]));
    window.settingDialog()->findChild<QPushButton *>("pushOK")->click();
    loaded.loadSettingFile(TarnAppMainWindow::settingFilePath());
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(loaded.presetName(i), names[i]);
}

QTEST_MAIN(TestFileFaults)
#include "tst_filefaults.moc"
