// The main window's keys, as a pedal that acts as a keyboard presses them:
// the preset request each one sends, full screen on F11 and off again, and
// the window-state file after full screen. Needs no MIDI: the unit's pair
// stands in for the ports, and the traffic log shows every request.
#include "unitpair.h"
#include "windowbench.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

class TestWindowKeys : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(QTest::qWaitForWindowExposed(&window)); }

    // Keys go to the SETTINGS button, which would take arrows for itself;
    // Return and Space go to the preset button they should click. requests:
    // one digit per request line the keys send, in turn.
    void keyChoosesPreset_data()
    {
        QTest::addColumn<QString>("keys");  // as a key sequence spells them
        QTest::addColumn<int>("reported");  // -2: only the serial number yet; -1: no preset
        QTest::addColumn<bool>("answered"); // false: no serial number held
        QTest::addColumn<QString>("requests");
        QTest::newRow("digits, the active one too") << "1, 4, 6" << 3 << true << "035";
        // NumLock off: the keypad's cursor keys, by the digits printed on them.
        QTest::newRow("keypad 1 to 4")
            << "Num+End, Num+Down, Num+PgDown, Num+Left" << 3 << true << "0123";
        QTest::newRow("keypad 5, 6; NumLock on")
            << "Num+Clear, Num+Right, Num+2" << 3 << true << "451";
        QTest::newRow("keypad 7 to 0") << "Num+Home, Num+Up, Num+PgUp, Num+Ins" << 3 << true << "";
        QTest::newRow("serial number not held") << "4, Down" << 3 << false << "";
        QTest::newRow("forward") << "PgDown, Right, Down" << 3 << true << "444";
        QTest::newRow("back") << "PgUp, Left, Up" << 3 << true << "222";
        QTest::newRow("at the end") << "PgDown" << 5 << true << "";
        QTest::newRow("at the start") << "PgUp" << 0 << true << "";
        QTest::newRow("no preset yet") << "Up" << -2 << true << "0";
        QTest::newRow("Return, Space click") << "Return, Space" << 3 << true << "11";
    }
    void keyChoosesPreset()
    {
        QFETCH(QString, keys);
        QFETCH(int, reported);
        QFETCH(bool, answered);
        QFETCH(QString, requests);
        window.link().requestSerial(); // forgets the serial number and the reported preset
        // The unit's answer: its serial number, with a status naming a preset.
        QByteArray answer = QByteArray::fromHex("F00A1B2C3D4E5F6071");
        if (reported > -2)
            answer += QByteArray::fromHex("01") + char(reported + 1);
        answer += char(0xF7);
        if (answered)
            window.link().handleHardReply(ByteVector(answer.begin(), answer.end()));
        DebugCapture log;
        QTest::keySequence(keys.startsWith("Return") ? bench.presetButton(1)
                                                     : bench.widget<QPushButton>("pushSetting"),
                           QKeySequence(keys));
        QStringList expected;
        for (QChar preset : requests)
            expected << QString("Send   : F0 0A 1B 2C 3D 4E 5F 60 71 02 06 0%1 07 F7").arg(preset);
        QCOMPARE(log.lines("Send   : "), expected);
    }

    // F11 and back, or Escape; the file keeps the window as it was before,
    // also when the run ends in full screen.
    void fullScreen_data()
    {
        QTest::addColumn<int>("leaveKey"); // 0: the run ends in full screen
        QTest::newRow("F11 again") << int(Qt::Key_F11);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
        QTest::newRow("ended in full screen") << 0;
    }
    void fullScreen()
    {
        QFETCH(int, leaveKey);
        WindowBench bench;
        TarnAppMainWindow &run = bench.window();
        const QRect normal(150, 100, 1100, 400);
        run.setGeometry(normal);
        QVERIFY(QTest::qWaitForWindowExposed(&run));
        const int font = bench.widget<QLabel>("labelHardConnection")->font().pointSize();
        auto *setting = bench.widget<QPushButton>("pushSetting");
        QTest::keyClick(setting, Qt::Key_Escape); // not full screen: nothing
        QTest::keyClick(bench.presetButton(0), Qt::Key_F11);
        QVERIFY(run.isFullScreen());
        QTRY_VERIFY(run.geometry() != normal);
        if (leaveKey) {
            QTest::keyClick(setting, Qt::Key(leaveKey));
            QVERIFY(!run.isFullScreen());
            QTRY_COMPARE(run.geometry(), normal);
        }
        bench.finish();
        const QVariantMap stored = WindowBench::read(AppSetting::windowStateFilePath());
        QCOMPARE(QRect(stored["X"].toInt(), stored["Y"].toInt(), stored["Width"].toInt(),
                       stored["Height"].toInt()),
                 normal);
        QCOMPARE(stored["FontSize"].toInt(), font); // not the larger one of full screen
    }

private:
    WindowBench bench{{}, true, new UnitPair};
    TarnAppMainWindow &window = bench.window();
};

QTEST_MAIN(TestWindowKeys)
#include "tst_windowkeys.moc"
