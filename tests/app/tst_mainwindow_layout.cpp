// How the main window looks: the three arrangements with their cells and
// default geometry, the point-size table, and the captions and style sheets.
#include "configsandbox.h"
#include "tarnappmainwindow.h"

#include <QApplication>
#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QTest>

#include <memory>

namespace {

// The record as the settings dialog sees it: changed in place.
AppSetting &record(TarnAppMainWindow &window)
{
    return const_cast<AppSetting &>(window.setting());
}

QString buttonStyle(const QString &color)
{
    return " QPushButton:hover {background-color:#ADD8E6;}  QPushButton:pressed "
           "{background-color:#1E90ff;}  QPushButton {background-color:" +
           color + ";border-style: solid;border-radius: 10;color: #ffffff;} ";
}

struct Cell
{
    int row, column, rowSpan, columnSpan;
    bool operator==(const Cell &other) const
    {
        return row == other.row && column == other.column && rowSpan == other.rowSpan &&
               columnSpan == other.columnSpan;
    }
};

Cell cellOf(QGridLayout *grid, QWidget *widget)
{
    Cell cell{-1, -1, -1, -1};
    const int index = grid->indexOf(widget);
    if (index >= 0)
        grid->getItemPosition(index, &cell.row, &cell.column, &cell.rowSpan, &cell.columnSpan);
    return cell;
}

QGridLayout *statusGridOf(QLayout *mainLayout)
{
    return mainLayout && mainLayout->count() > 0
               ? qobject_cast<QGridLayout *>(mainLayout->itemAt(0)->layout())
               : nullptr;
}

// The status grid: message on top, then lamp and caption for each link.
void checkStatusGrid(TarnAppMainWindow &window, QGridLayout *status, int type)
{
    QVERIFY(status);
    const bool grid = type == 0;
    QCOMPARE(status->horizontalSpacing(), grid ? 30 : 5);
    QCOMPARE(status->verticalSpacing(), 10);
    QCOMPARE(cellOf(status, window.messageLabel()), (Cell{0, 0, 1, type == 2 ? 2 : 4}));
    QCOMPARE(cellOf(status, window.hardLamp()), (Cell{1, 0, 1, 1}));
    QCOMPARE(cellOf(status, window.hardCaption()), (Cell{1, 1, 1, 1}));
    QCOMPARE(cellOf(status, window.remoteLamp()), (Cell{grid ? 1 : 2, grid ? 2 : 0, 1, 1}));
    QCOMPARE(cellOf(status, window.remoteCaption()), (Cell{grid ? 1 : 2, grid ? 3 : 1, 1, 1}));
    for (QLabel *lamp : {window.hardLamp(), window.remoteLamp()})
        QCOMPARE(lamp->sizePolicy(), QSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed));
}

void checkGrid(TarnAppMainWindow &window)
{
    auto *grid = qobject_cast<QGridLayout *>(window.centralWidget()->layout());
    QVERIFY2(grid, "no grid installed");
    QCOMPARE(grid->horizontalSpacing(), 30);
    QCOMPARE(grid->verticalSpacing(), 30);
    QGridLayout *status = statusGridOf(grid);
    Cell statusCell{-1, -1, -1, -1};
    grid->getItemPosition(0, &statusCell.row, &statusCell.column, &statusCell.rowSpan,
                          &statusCell.columnSpan);
    QCOMPARE(statusCell, (Cell{0, 0, 1, 4}));
    QCOMPARE(grid->itemAt(0)->alignment(), Qt::Alignment(Qt::AlignLeft));
    checkStatusGrid(window, status, 0);
    if (QTest::currentTestFailed())
        return;
    for (int i = 0; i < 4; ++i)
        QCOMPARE(cellOf(grid, window.presetButton(i)), (Cell{1, i, 1, 1}));
    QCOMPARE(cellOf(grid, window.presetButton(4)), (Cell{2, 0, 1, 1}));
    QCOMPARE(cellOf(grid, window.presetButton(5)), (Cell{2, 1, 1, 1}));
    QCOMPARE(cellOf(grid, window.settingButton()), (Cell{2, 3, 1, 1}));
    QVERIFY(!grid->itemAtPosition(2, 2));
}

void checkBox(TarnAppMainWindow &window, int type)
{
    QLayout *layout = window.centralWidget()->layout();
    auto *box = type == 1 ? static_cast<QBoxLayout *>(qobject_cast<QHBoxLayout *>(layout))
                          : static_cast<QBoxLayout *>(qobject_cast<QVBoxLayout *>(layout));
    QVERIFY2(box, "wrong outer layout");
    QCOMPARE(box->count(), 8);
    checkStatusGrid(window, statusGridOf(box), type);
    for (int i = 0; i < 6; ++i)
        QCOMPARE(box->itemAt(i + 1)->widget(), window.presetButton(i));
    QCOMPARE(box->itemAt(7)->widget(), window.settingButton());
    for (int i = 0; i < 8; ++i)
        QCOMPARE(box->stretch(i), 0);
}

void checkArrangement(TarnAppMainWindow &window, int type)
{
    if (type == 1 || type == 2)
        checkBox(window, type);
    else
        checkGrid(window);
    if (QTest::currentTestFailed())
        return;
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(window.presetButton(i)->parentWidget(), window.centralWidget());
        QCOMPARE(window.presetButton(i)->sizePolicy(),
                 QSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding));
    }
}

} // namespace

class TestMainWindowLayout : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        sandbox.reset(new ConfigSandbox);
        QVERIFY(sandbox->isValid());
    }
    void cleanup() { sandbox.reset(); }
    void cleanupTestCase() { tableWindow.reset(); }

    // Each arrangement as the settings dialog installs it: its cells and its
    // default geometry (the grid keeps the window's position).
    void arrangements_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("grid") << 0 << QRect(321, 123, 1100, 400);
        QTest::newRow("horizontal") << 1 << QRect(100, 100, 1500, 140);
        QTest::newRow("vertical") << 2 << QRect(100, 100, 300, 800);
    }
    void arrangements()
    {
        QFETCH(int, type);
        QFETCH(QRect, geometry);
        ConfigSandbox::writeIni(TarnAppMainWindow::settingFilePath(),
                                {{"DispType", type == 0 ? 1 : 0}});
        TarnAppMainWindow window;
        window.initialize();
        window.setGeometry(321, 123, 900, 500);
        record(window).setDispType(type);
        window.applyLayout();
        QCOMPARE(window.geometry(), geometry);
        checkArrangement(window, type);
    }

    // At start-up the stored geometry wins over the arrangement's own.
    void startupInstallsTheStoredArrangement_data() { arrangements_data(); }
    void startupInstallsTheStoredArrangement()
    {
        QFETCH(int, type);
        ConfigSandbox::writeIni(TarnAppMainWindow::settingFilePath(), {{"DispType", type}});
        TarnAppMainWindow window;
        window.initialize();
        checkArrangement(window, type);
        QCOMPARE(window.geometry(), QRect(200, 200, 1100, 400));
    }

    void applyLayoutTwiceChangesNothing_data() { arrangements_data(); }
    void applyLayoutTwiceChangesNothing()
    {
        QFETCH(int, type);
        ConfigSandbox::writeIni(TarnAppMainWindow::settingFilePath(), {{"DispType", type}});
        TarnAppMainWindow window;
        window.initialize();
        const QRect moved(321, 123, 1000, 500);
        window.setGeometry(moved);
        window.setFonts(9);
        QLayout *before = window.centralWidget()->layout();
        QGridLayout *statusBefore = statusGridOf(before);
        window.applyLayout();
        QCOMPARE(window.centralWidget()->layout(), before);
        QCOMPARE(statusGridOf(window.centralWidget()->layout()), statusBefore);
        QCOMPARE(window.geometry(), moved);
        QCOMPARE(window.presetButton(0)->font().pointSize(), 9);
    }

    void gridHorizontalGridKeepsPosition()
    {
        TarnAppMainWindow window;
        window.initialize();
        QCOMPARE(window.geometry(), QRect(200, 200, 1100, 400));
        record(window).setDispType(1);
        window.applyLayout();
        QCOMPARE(window.geometry(), QRect(100, 100, 1500, 140));
        record(window).setDispType(0);
        window.applyLayout();
        QCOMPARE(window.geometry(), QRect(100, 100, 1100, 400));
        checkGrid(window);
    }

    // A value the dialog never writes still gives a usable window: the grid,
    // with the record left as read and fonts no longer following the size.
    void unknownDispTypeGetsTheGrid_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("3") << 3;
        QTest::newRow("99") << 99;
        QTest::newRow("-1") << -1;
        QTest::newRow("-2") << -2;
    }
    void unknownDispTypeGetsTheGrid()
    {
        QFETCH(int, type);
        ConfigSandbox::writeIni(TarnAppMainWindow::settingFilePath(), {{"DispType", type}});
        TarnAppMainWindow window;
        window.initialize();
        QCOMPARE(window.setting().dispType(), type);
        checkGrid(window);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(window.geometry(), QRect(200, 200, 1100, 400));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.presetButton(5)->isVisible());
        QVERIFY(window.settingButton()->isVisible());
        window.setGeometry(100, 100, 1500, 900);
        QTRY_COMPARE_WITH_TIMEOUT(window.size(), QSize(1500, 900), 5000);
        QCOMPARE(window.presetButton(0)->font().pointSize(), 18);
        QCOMPARE(window.hardCaption()->font().pointSize(), 16);
        window.applyLayout();
        QCOMPARE(window.geometry(), QRect(100, 100, 1500, 900));
    }

    void pointSizeTable_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("primary");
        QTest::addColumn<int>("secondary");
        const struct
        {
            int type, width, height, primary, secondary;
        } rows[] = {
            {0, 1100, 400, 18, 16},  {0, 799, 199, 11, 9},   {0, 799, 200, 13, 11},
            {0, 799, 299, 13, 11},   {0, 799, 300, 14, 12},  {0, 799, 499, 16, 14},
            {0, 799, 500, 18, 16},   {0, 800, 299, 13, 11},  {0, 800, 300, 15, 13},
            {0, 1199, 699, 25, 22},  {0, 1199, 700, 30, 27}, {0, 1200, 299, 14, 12},
            {0, 1200, 300, 16, 14},  {0, 1200, 899, 36, 32}, {0, 1200, 900, 41, 36},
            {0, 4000, 4000, 41, 36}, {1, 1500, 140, 17, 13}, {1, 1099, 900, 11, 8},
            {1, 1100, 140, 12, 9},   {1, 1299, 140, 12, 9},  {1, 1300, 140, 13, 10},
            {1, 1400, 140, 15, 12},  {1, 1599, 140, 17, 13}, {1, 1600, 140, 19, 15},
            {1, 1700, 140, 21, 16},  {1, 1799, 140, 21, 16}, {1, 1800, 140, 23, 18},
            {2, 300, 800, 18, 12},   {2, 2000, 499, 14, 9},  {2, 300, 500, 16, 11},
            {2, 300, 699, 16, 11},   {2, 300, 700, 18, 12},
        };
        for (const auto &row : rows) {
            QTest::addRow("type %d, %dx%d", row.type, row.width, row.height)
                << row.type << QSize(row.width, row.height) << row.primary << row.secondary;
        }
    }
    // One window serves every row. It is kept hidden and its fonts tiny, so
    // that no minimum size bends the chosen size; the resize event it would
    // get is sent by hand.
    void pointSizeTable()
    {
        QFETCH(int, type);
        QFETCH(QSize, size);
        if (!tableWindow) {
            tableWindow.reset(new TarnAppMainWindow);
            tableWindow->initialize();
        }
        TarnAppMainWindow &window = *tableWindow;
        record(window).setDispType(type);
        window.applyLayout();
        window.setFonts(1);
        window.setGeometry(QRect(QPoint(10, 10), size));
        QCOMPARE(window.size(), size);
        QResizeEvent event(size, QSize(1100, 400));
        QApplication::sendEvent(&window, &event);
        QCOMPARE(window.size(), size);
        QTEST(window.presetButton(0)->font().pointSize(), "primary");
        QTEST(window.settingButton()->font().pointSize(), "primary");
        QTEST(window.remoteLamp()->font().pointSize(), "primary");
        QTEST(window.hardCaption()->font().pointSize(), "secondary");
        QTEST(window.messageLabel()->font().pointSize(), "secondary");
    }

    void captions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("secondLine");
        QTest::newRow("empty") << QString() << "#NAME";
        QTest::newRow("blank") << "   "
                               << "   ";
        QTest::newRow("set") << "Clean Amp"
                             << "Clean Amp";
        QTest::newRow("markup kept") << "<b>Lead</b> & co"
                                     << "<b>Lead</b> & co";
    }
    void captions()
    {
        QFETCH(QString, name);
        QFETCH(QString, secondLine);
        AppSetting file;
        for (int i = 0; i < 6; ++i)
            file.setPresetName(i, i == 2 ? name : QString("P%1").arg(i + 1));
        file.saveSettingFile(TarnAppMainWindow::settingFilePath());
        TarnAppMainWindow window;
        window.initialize();
        QCOMPARE(window.presetButton(2)->text(), "PRESET3\r\n" + secondLine);
        for (int i : {0, 1, 3, 4, 5})
            QCOMPARE(window.presetButton(i)->text(), QString("PRESET%1\r\nP%1").arg(i + 1));
        record(window).setPresetName(5, QString());
        record(window).setPresetName(0, "Solo");
        window.updateCaptions();
        QCOMPARE(window.presetButton(0)->text(), QString("PRESET1\r\nSolo"));
        QCOMPARE(window.presetButton(5)->text(), QString("PRESET6\r\n#NAME"));
        QCOMPARE(window.presetButton(2)->text(), "PRESET3\r\n" + secondLine);
    }

    void fixedTextsAndStyles()
    {
        TarnAppMainWindow window;
        QCOMPARE(window.settingButton()->text(), QString("SETTINGS\n"));
        QCOMPARE(window.settingButton()->styleSheet(), buttonStyle("#333366"));
        QCOMPARE(window.hardCaption()->text(), QString("Hard Midi Connection"));
        QCOMPARE(window.remoteCaption()->text(), QString("Remote Midi Connection"));
        QCOMPARE(window.hardLamp()->text(), QString("   "));
        QCOMPARE(window.remoteLamp()->text(), QString("   "));
        QCOMPARE(window.messageLabel()->styleSheet(), QString("color:#FF0000;"));
        QVERIFY(window.presetButton(0)->text().isEmpty());
        QVERIFY(!window.centralWidget()->layout());
    }

    void styleHelpersReplaceTheWholeSheet()
    {
        TarnAppMainWindow window;
        QPushButton *button = window.presetButton(3);
        window.setButtonStyle(button, "#FF570D");
        window.setButtonStyle(button, "#3B3B3B");
        QCOMPARE(button->styleSheet(), buttonStyle("#3B3B3B"));
        window.setLampStyle(window.hardLamp(), "#FFFF33");
        QCOMPARE(window.hardLamp()->styleSheet(),
                 QString("background-color:#FFFF33;border-style: solid;border-radius: 10;"));
        window.setTextColor(window.hardCaption(), "#000000");
        window.setTextColor(window.hardCaption(), "#888888");
        QCOMPARE(window.hardCaption()->styleSheet(), QString("color:#888888;"));
    }

private:
    std::unique_ptr<ConfigSandbox> sandbox;
    std::unique_ptr<TarnAppMainWindow> tableWindow;
};

QTEST_MAIN(TestMainWindowLayout)
#include "tst_mainwindow_layout.moc"
