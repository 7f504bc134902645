// The main window and the settings windows on the screen the test runs on:
// every arrangement at a first start and from a bigger screen's state file,
// full screen in and out, and each dialog with every control reachable.
// Offscreen in the suite (an 800 x 600 screen); tools/screencheck.sh runs it
// under a window manager on laptop screens at their scale factors.
#include "modalanswerer.h"
#include "screenfit.h"
#include "testwait.h"
#include "windowbench.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QtTest>

namespace {

QRect screenArea()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

QRect globalRect(const QWidget *widget)
{
    return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

// The frame, as far as the window manager has put one around it.
QRect frameRect(const QWidget *window)
{
    return window->geometry().marginsAdded(ScreenFit::frameOf(window));
}

// For eyes: the screen as the check saw it, when TARN_SCREEN_SHOTS names a folder.
void shoot(QWidget *window, const QString &name)
{
    const QString folder = qEnvironmentVariable("TARN_SCREEN_SHOTS");
    if (folder.isEmpty() || !QTest::qWaitForWindowExposed(window))
        return;
    window->repaint();
    QGuiApplication::primaryScreen()->grabWindow(0).save(folder + '/' + name + ".png");
}

// Every push button and label of the window wholly on screen and shown;
// those in a scroll area need only be reachable.
QStringList offScreen(const QWidget *window)
{
    QStringList hidden;
    if (!screenArea().contains(frameRect(window)))
        hidden << QString("frame %1,%2 %3x%4")
                      .arg(frameRect(window).x())
                      .arg(frameRect(window).y())
                      .arg(frameRect(window).width())
                      .arg(frameRect(window).height());
    for (const QWidget *widget : window->findChildren<QWidget *>()) {
        if (widget->window() != window || !widget->isVisible() || widget->objectName().isEmpty())
            continue;
        bool scrolled = false;
        for (const QWidget *parent = widget; parent != window; parent = parent->parentWidget())
            scrolled |= qobject_cast<const QScrollArea *>(parent->parentWidget()) != nullptr;
        if (scrolled)
            continue;
        if (!screenArea().contains(globalRect(widget)) ||
            !globalRect(window).contains(globalRect(widget)))
            hidden << widget->objectName();
    }
    return hidden;
}

// The controls a scroll area cannot bring into its view.
QStringList unreachable(QWidget *dialog)
{
    QStringList lost;
    for (QWidget *control : dialog->findChildren<QWidget *>()) {
        if ((!qobject_cast<QAbstractButton *>(control) && !qobject_cast<QComboBox *>(control) &&
             !qobject_cast<QLineEdit *>(control)) ||
            control->window() != dialog)
            continue;
        QRect area = globalRect(dialog);
        for (QWidget *parent = control->parentWidget(); parent != dialog;
             parent = parent->parentWidget()) {
            if (auto *scroll = qobject_cast<QScrollArea *>(parent)) {
                scroll->ensureWidgetVisible(control, 0, 0);
                area = globalRect(scroll->viewport());
                break;
            }
        }
        if (!area.contains(globalRect(control)) || !screenArea().contains(globalRect(control)))
            lost << control->objectName();
    }
    return lost;
}

} // namespace

class TestScreenFit : public QObject
{
    Q_OBJECT
private slots:
    // Catches a window, button or status line beyond the screen's edge,
    // fonts too large for a small window, and a saved place that is kept
    // although this screen cannot show it.
    void window_data()
    {
        QTest::addColumn<int>("dispType");
        QTest::addColumn<QString>("stored"); // a 2560 x 1440 screen's state file
        const QString big[] = {"X=1400 Y=900 Width=1100 Height=400",
                               "X=1000 Y=1250 Width=1500 Height=140",
                               "X=2200 Y=500 Width=300 Height=800"};
        for (int type = 0; type < 3; ++type) {
            QTest::addRow("type %d, first start", type) << type << "";
            QTest::addRow("type %d, bigger screen", type) << type << big[type];
        }
        QTest::addRow("grid, whole bigger screen") << 0 << "X=0 Y=0 Width=2560 Height=1400";
    }
    void window()
    {
        QFETCH(int, dispType);
        QFETCH(QString, stored);
        WindowBench bench({{"DispType", dispType}}, false);
        QVariantMap state;
        for (const QString &pair : stored.split(' ', Qt::SkipEmptyParts))
            state[pair.section('=', 0, 0)] = pair.section('=', 1);
        if (!state.isEmpty())
            WindowBench::write(AppSetting::windowStateFilePath(), state);
        bench.start();
        TarnAppMainWindow &window = bench.window();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const bool inside = TestWait::until([&] { return offScreen(&window).isEmpty(); });
        shoot(&window,
              QString("window-%1-%2").arg(dispType).arg(stored.isEmpty() ? "first" : "stored"));
        QVERIFY2(inside, qPrintable(offScreen(&window).join(' ')));
        // Where it fits, a saved size is kept.
        const QSize size(state.value("Width", 1100).toInt(), state.value("Height", 400).toInt());
        if (frameRect(&window).size() - window.size() + size == size.boundedTo(screenArea().size()))
            QCOMPARE(window.size(), size);
    }

    // Catches full screen that Escape or F11 cannot leave after the
    // arrangement changed in it, and a window that comes back larger or
    // elsewhere.
    void fullScreen_data()
    {
        QTest::addColumn<int>("dispType");
        QTest::addColumn<QString>("radio"); // the arrangement chosen in full screen
        QTest::newRow("grid to horizontal") << 0 << "H";
        QTest::newRow("horizontal to vertical") << 1 << "V";
        QTest::newRow("vertical to grid") << 2 << "Grid";
    }
    void fullScreen()
    {
        QFETCH(int, dispType);
        QFETCH(QString, radio);
        WindowBench bench({{"DispType", dispType}});
        TarnAppMainWindow &window = bench.window();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(TestWait::until([&] { return offScreen(&window).isEmpty(); }));
        const QRect before = window.geometry();
        const auto toggle = [&](Qt::Key key, bool on) {
            QTest::keyClick(bench.widget<QPushButton>("pushSetting"), key);
            return TestWait::until([&] {
                return window.isFullScreen() == on &&
                       (on ? window.geometry() == window.screen()->geometry()
                           : offScreen(&window).isEmpty());
            });
        };
        QVERIFY(toggle(Qt::Key_F11, true));
        QVERIFY(toggle(Qt::Key_Escape, false));
        QTRY_COMPARE(window.geometry(), before);

        QVERIFY(toggle(Qt::Key_F11, true));
        bench.widget<QRadioButton>("radioButton" + radio)->setChecked(true);
        bench.widget<QPushButton>("pushOK")->click();
        QVERIFY(window.isFullScreen());
        QVERIFY(toggle(Qt::Key_Escape, false));
        const QRect arranged = window.geometry();
        QVERIFY(toggle(Qt::Key_F11, true));
        QVERIFY(toggle(Qt::Key_F11, false));
        QTRY_COMPARE(window.geometry(), arranged);
        bench.finish();
        const QVariantMap file = WindowBench::read(AppSetting::windowStateFilePath());
        QCOMPARE(QRect(file["X"].toInt(), file["Y"].toInt(), file["Width"].toInt(),
                       file["Height"].toInt()),
                 arranged);
    }

    // Catches a dialog taller or wider than the screen, OK and CANCEL
    // scrolled away, controls no scrolling brings into view, and a Tab order
    // lost in laying the settings out.
    void dialogs()
    {
        WindowBench bench;
        QVERIFY(QTest::qWaitForWindowExposed(&bench.window()));
        ModalAnswerer answerer;
        QStringList problems;
        const auto check = [&](QWidget *dialog) {
            TestWait::until([&] { return (offScreen(dialog) + unreachable(dialog)).isEmpty(); });
            shoot(dialog, dialog->objectName());
            problems << offScreen(dialog) << unreachable(dialog);
        };
        QStringList tabOrder;
        answerer.answerNext([&](QWidget *settings) {
            check(settings);
            QWidget *first = settings->findChild<QWidget *>("comboHardMidiIn");
            for (QWidget *next = first; tabOrder.size() < 40; next = next->nextInFocusChain()) {
                if (next->focusPolicy() & Qt::TabFocus && !next->objectName().isEmpty() &&
                    !next->objectName().startsWith("qt_")) // a spin box's own editor
                    tabOrder << next->objectName();
                if (next->nextInFocusChain() == first)
                    break;
            }
            answerer.answerNext([&](QWidget *bindings) {
                check(bindings);
                ModalAnswerer::close(bindings);
            });
            settings->findChild<QPushButton *>("pushRemoteBindings")->click();
            ModalAnswerer::close(settings);
        });
        bench.window().on_pushSetting_clicked();
        QCOMPARE(answerer.seen().size(), 2);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(" ")));
        // Laid out anew, the window keeps its order for Tab.
        QCOMPARE(tabOrder.join(' '),
                 QString("comboHardMidiIn comboHardMidiOut pushGetSerial spinLinkCheckSeconds "
                         "pushTestUnit textPresetName1 "
                         "textPresetName2 textPresetName3 textPresetName4 textPresetName5 "
                         "textPresetName6 comboRemoteMidiIn comboRemoteMidiOut "
                         "comboFootSwitchPreset radioButtonGrid radioButtonH radioButtonV pushOpen "
                         "pushSaveAs pushOK pushCancel pushRemoteBindings pushSetlist"));
    }
};

QTEST_MAIN(TestScreenFit)
#include "tst_screenfit.moc"
