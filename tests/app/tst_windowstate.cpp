// The window-state file: the geometry and fonts it gives at start-up, its
// defaults and off-screen rule, and what the window writes back when it goes.
#include "configsandbox.h"
#include "debugcapture.h"
#include "tarnappmainwindow.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <memory>

namespace {

int primarySize(const TarnAppMainWindow &window)
{
    return window.presetButton(0)->font().pointSize();
}

int secondarySize(const TarnAppMainWindow &window)
{
    return window.hardCaption()->font().pointSize();
}

// The twelve widgets that carry the two fonts, with the font each should carry.
QList<QPair<QWidget *, bool>> fontedWidgets(const TarnAppMainWindow &window)
{
    QList<QPair<QWidget *, bool>> widgets;
    for (int i = 0; i < 6; ++i)
        widgets << qMakePair<QWidget *, bool>(window.presetButton(i), true);
    widgets << qMakePair<QWidget *, bool>(window.settingButton(), true)
            << qMakePair<QWidget *, bool>(window.hardLamp(), true)
            << qMakePair<QWidget *, bool>(window.remoteLamp(), true)
            << qMakePair<QWidget *, bool>(window.hardCaption(), false)
            << qMakePair<QWidget *, bool>(window.remoteCaption(), false)
            << qMakePair<QWidget *, bool>(window.messageLabel(), false);
    return widgets;
}

} // namespace

class TestWindowState : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        sandbox.reset(new ConfigSandbox);
        QVERIFY(sandbox->isValid());
    }
    void cleanup() { sandbox.reset(); }

    void restoredGeometryAndFont_data()
    {
        QTest::addColumn<QVariantMap>("file");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<int>("fontSize");

        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const int right = screen.right();
        const int bottom = screen.bottom();
        QTest::newRow("no file") << QVariantMap() << QRect(200, 200, 1100, 400) << 18;
        QTest::newRow("only Height")
            << QVariantMap{{"Height", 300}} << QRect(200, 200, 1100, 300) << 18;
        QTest::newRow("only Width") << QVariantMap{{"Width", 900}} << QRect(0, 0, 900, 400) << 18;
        QTest::newRow("Width letters") << QVariantMap{{"Width", "wide"},
                                                      {"Height", 300},
                                                      {"X", 50},
                                                      {"Y", 60},
                                                      {"FontSize", 20}}
                                       << QRect(200, 200, 1100, 300) << 20;
        QTest::newRow("Width 0") << QVariantMap{{"Width", 0}, {"X", 50}, {"Y", 60}}
                                 << QRect(200, 200, 1100, 400) << 18;
        QTest::newRow("all set")
            << QVariantMap{{"X", 30}, {"Y", 40}, {"Width", 1000}, {"Height", 500}, {"FontSize", 25}}
            << QRect(30, 40, 1000, 500) << 25;
        QTest::newRow("FontSize letters")
            << QVariantMap{{"FontSize", "big"}} << QRect(200, 200, 1100, 400) << 18;
        QTest::newRow("partly off, negative")
            << QVariantMap{{"X", -300}, {"Y", -100}, {"Width", 900}, {"Height", 300}}
            << QRect(-300, -100, 900, 300) << 18;
        QTest::newRow("one pixel on screen")
            << QVariantMap{{"X", right}, {"Y", bottom}, {"Width", 900}, {"Height", 300}}
            << QRect(right, bottom, 900, 300) << 18;
        QTest::newRow("just right of the screen")
            << QVariantMap{{"X", right + 1}, {"Y", 10}, {"Width", 900}, {"Height", 300}}
            << QRect(200, 200, 900, 300) << 18;
        QTest::newRow("far away") << QVariantMap{{"X", 5000},
                                                 {"Y", 5000},
                                                 {"Width", 950},
                                                 {"Height", 350}}
                                  << QRect(200, 200, 950, 350) << 18;
        QTest::newRow("above and left") << QVariantMap{{"X", screen.left() - 900},
                                                       {"Y", screen.top() - 300},
                                                       {"Width", 900},
                                                       {"Height", 300}}
                                        << QRect(200, 200, 900, 300) << 18;
    }
    // Restored before the window is shown; the stored font size holds until
    // the first resize event.
    void restoredGeometryAndFont()
    {
        QFETCH(QVariantMap, file);
        QFETCH(QRect, geometry);
        QFETCH(int, fontSize);
        if (!file.isEmpty())
            ConfigSandbox::writeIni(TarnAppMainWindow::windowStateFilePath(), file);
        TarnAppMainWindow window;
        window.initialize();
        QCOMPARE(window.geometry(), geometry);
        QCOMPARE(primarySize(window), fontSize);
        QCOMPARE(secondarySize(window), int(fontSize * 0.9));
        for (const auto &widget : fontedWidgets(window)) {
            QCOMPARE(widget.first->font().pointSize(),
                     widget.second ? fontSize : int(fontSize * 0.9));
            QCOMPARE(int(widget.first->font().weight()), int(QFont::Bold));
        }
    }

    // Sizes below 2 would make a secondary size of 0 or less, which Qt
    // rejects with a warning; no such size may reach a font.
    void tinyFontSizes_data()
    {
        QTest::addColumn<int>("dispType");
        QTest::addColumn<int>("fontSize");
        for (int type : {0, 1, 2}) {
            for (int size : {1, -4}) {
                QTest::addRow("type %d, stored %d", type, size) << type << size;
            }
        }
    }
    void tinyFontSizes()
    {
        QFETCH(int, dispType);
        QFETCH(int, fontSize);
        ConfigSandbox::writeIni(TarnAppMainWindow::settingFilePath(), {{"DispType", dispType}});
        ConfigSandbox::writeIni(TarnAppMainWindow::windowStateFilePath(), {{"FontSize", fontSize}});
        DebugCapture capture;
        TarnAppMainWindow window;
        window.initialize();
        for (int size : {1, 0, -7})
            window.setFonts(size);
        for (const auto &widget : fontedWidgets(window))
            QVERIFY(widget.first->font().pointSize() >= 1);
        const QStringList rejected = capture.lines().filter("setPointSize");
        QVERIFY2(rejected.isEmpty(), qPrintable(rejected.join('\n')));
    }

    void writtenOnClose_data()
    {
        QTest::addColumn<QRect>("moveTo");
        QTest::addColumn<QVariantMap>("expected");
        QTest::newRow("first run") << QRect()
                                   << QVariantMap{{"FontSize", "16"},
                                                  {"Width", "1100"},
                                                  {"Height", "400"},
                                                  {"X", "200"},
                                                  {"Y", "200"}};
        // 1250 x 520 in the grid: point size 22, secondary 19 (19.8 truncated).
        QTest::newRow("moved and resized") << QRect(150, 120, 1250, 520)
                                           << QVariantMap{{"FontSize", "19"},
                                                          {"Width", "1250"},
                                                          {"Height", "520"},
                                                          {"X", "150"},
                                                          {"Y", "120"}};
    }
    void writtenOnClose()
    {
        QFETCH(QRect, moveTo);
        QFETCH(QVariantMap, expected);
        {
            TarnAppMainWindow window;
            window.initialize();
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            if (!moveTo.isNull()) {
                window.setGeometry(moveTo);
                QTRY_COMPARE_WITH_TIMEOUT(window.geometry(), moveTo, 5000);
            }
            QTRY_COMPARE_WITH_TIMEOUT(secondarySize(window), expected["FontSize"].toInt(), 5000);
            QVERIFY(!QFile::exists(TarnAppMainWindow::windowStateFilePath()));
        }
        QCOMPARE(ConfigSandbox::readIni(TarnAppMainWindow::windowStateFilePath()), expected);
    }

    // A window never shown gets no resize event: it writes back the
    // secondary size of the stored font size, over whatever the file held.
    void rewrittenWithoutResize()
    {
        ConfigSandbox::writeIni(TarnAppMainWindow::windowStateFilePath(), {{"FontSize", 30},
                                                                           {"Width", 1000},
                                                                           {"Height", 500},
                                                                           {"X", 10},
                                                                           {"Y", 20},
                                                                           {"Stale", "kept"}});
        {
            TarnAppMainWindow window;
            window.initialize();
        }
        QCOMPARE(ConfigSandbox::readIni(TarnAppMainWindow::windowStateFilePath()),
                 (QVariantMap{{"FontSize", "27"},
                              {"Width", "1000"},
                              {"Height", "500"},
                              {"X", "10"},
                              {"Y", "20"},
                              {"Stale", "kept"}}));
    }

private:
    std::unique_ptr<ConfigSandbox> sandbox;
};

QTEST_MAIN(TestWindowState)
#include "tst_windowstate.moc"
