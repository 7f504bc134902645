// The main window's keys, as a pedal that acts as a keyboard presses them:
// the preset request each one sends, full screen on F11 and off again, and
// the window-state file after full screen. Needs no MIDI: with the hardware
// output closed, the traffic log still shows every request.
#include "tarnappmainwindow.h"
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
    // Return and Space go to the preset button they should click.
    void keyChoosesPreset_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("reported"); // -2: only the serial number yet; -1: no preset
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("requested"); // -1: no request
        QTest::newRow("1") << int(Qt::Key_1) << 3 << true << 0;
        QTest::newRow("6") << int(Qt::Key_6) << 3 << true << 5;
        QTest::newRow("the active one again") << int(Qt::Key_4) << 3 << true << 3;
        QTest::newRow("4, disabled") << int(Qt::Key_4) << 3 << false << -1;
        // Each stepping key's direction; the bounds, for one key of each.
        for (int key : {Qt::Key_PageDown, Qt::Key_Right, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_Left,
                        Qt::Key_Up})
            QTest::newRow(QKeySequence(key).toString().toLatin1() + " from 4")
                << key << 3 << true
                << (key == Qt::Key_PageUp || key == Qt::Key_Left || key == Qt::Key_Up ? 2 : 4);
        QTest::newRow("PgDown at the end") << int(Qt::Key_PageDown) << 5 << true << -1;
        QTest::newRow("PgUp at the start") << int(Qt::Key_PageUp) << 0 << true << -1;
        QTest::newRow("Up before any status") << int(Qt::Key_Up) << -2 << true << 0;
        QTest::newRow("Down, no preset") << int(Qt::Key_Down) << -1 << true << 0;
        QTest::newRow("Return clicks") << int(Qt::Key_Return) << 3 << true << 1;
        QTest::newRow("Space clicks") << int(Qt::Key_Space) << 3 << true << 4;
    }
    void keyChoosesPreset()
    {
        QFETCH(int, key);
        QFETCH(int, reported);
        QFETCH(bool, enabled);
        QFETCH(int, requested);
        window.requestSerial(); // forgets the serial number and the reported preset
        // The unit's answer: its serial number, with a status naming a preset.
        QByteArray answer = QByteArray::fromHex("F00A1B2C3D4E5F6071");
        if (reported > -2)
            answer += QByteArray::fromHex("01") + char(reported + 1);
        answer += char(0xF7);
        window.handleHardReply(std::vector<unsigned char>(answer.begin(), answer.end()));
        for (int i = 0; i < 6; ++i)
            window.presetButton(i)->setEnabled(enabled);

        DebugCapture log;
        const bool click = key == Qt::Key_Return || key == Qt::Key_Space;
        QTest::keyClick(click ? window.presetButton(requested) : window.settingButton(),
                        Qt::Key(key));
        const QString request("Send   : F0 0A 1B 2C 3D 4E 5F 60 71 02 06 0%1 07 F7");
        QCOMPARE(log.lines("Send   : "),
                 requested < 0 ? QStringList() : QStringList{request.arg(requested)});
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
        run.show();
        QVERIFY(QTest::qWaitForWindowExposed(&run));
        const int font = run.hardCaption()->font().pointSize();
        QTest::keyClick(run.settingButton(), Qt::Key_Escape); // not full screen: nothing
        QTest::keyClick(run.presetButton(0), Qt::Key_F11);
        QVERIFY(run.isFullScreen());
        QTRY_VERIFY(run.geometry() != normal);
        if (leaveKey) {
            QTest::keyClick(run.settingButton(), Qt::Key(leaveKey));
            QVERIFY(!run.isFullScreen());
            QTRY_COMPARE(run.geometry(), normal);
        }
        bench.finish();
        const QVariantMap stored = WindowBench::read(TarnAppMainWindow::windowStateFilePath());
        QCOMPARE(QRect(stored["X"].toInt(), stored["Y"].toInt(), stored["Width"].toInt(),
                       stored["Height"].toInt()),
                 normal);
        QCOMPARE(stored["FontSize"].toInt(), font); // not the larger one of full screen
    }

private:
    WindowBench bench;
    TarnAppMainWindow &window = bench.window();
};

QTEST_MAIN(TestWindowKeys)
#include "tst_windowkeys.moc"
