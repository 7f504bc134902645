// Nested modal loops under MIDI: with every send failing, each failure may
// open a message box whose event loop goes on delivering MIDI, which fails
// again, while the settings dialog runs its own loop as well. The boxes must
// come one at a time per kind and the nesting stay bounded, however long the
// failures go on; every failure is either shown or written to the debug
// output; and what the window shows in the end is what the unit said last.
#include "appsetting.h"
#include "boxwatcher.h"
#include "debugcapture.h"
#include "devicepeer.h"
#include "hardmessages.h"
#include "hardsettingdialog.h"
#include "qmidiout.h"
#include "tarnappmainwindow.h"
#include "testwait.h"

#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

const DevicePeer::Bytes serial{0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48};
const QString remoteTitle = "Midi Remote Send Error";
const QString hardTitle = "Midi Hard Send Error";
const QString remoteText = "remote output refuses";
const QString hardText = "hardware output refuses";

} // namespace

class TestNestedBoxes : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void failingSendsUnderStatusReplies();
    void replyDuringBoxIsShown();

private:
    int lines(const QString &prefix) const { return capture->lines(prefix).size(); }
    bool shows(int preset) const;

    std::unique_ptr<DevicePeer> unit;
    std::unique_ptr<DevicePeer> pads;
    std::unique_ptr<DebugCapture> capture;
    std::unique_ptr<TarnAppMainWindow> window;
};

void TestNestedBoxes::init()
{
    const QString tag = QString("-%1").arg(QCoreApplication::applicationPid());
    unit = std::make_unique<DevicePeer>("rel-nest-unit" + tag);
    pads = std::make_unique<DevicePeer>("rel-nest-pads" + tag);
    unit->appear();
    pads->appear();
    unit->playUnit(serial, 0);
    AppSetting setting;
    setting.setHardwareMidiInPort(unit->outputPortName());
    setting.setHardwareMidiOutPort(unit->inputPortName());
    setting.setRemoteMidiInPort(pads->outputPortName());
    setting.setRemoteMidiOutPort(pads->inputPortName());
    setting.saveSettingFile(TarnAppMainWindow::settingFilePath());

    capture = std::make_unique<DebugCapture>();
    window = std::make_unique<TarnAppMainWindow>();
    window->initialize();
    window->show();
    QVERIFY(unit->waitLinkUp(
        [&] { return window->linkStatus() == TarnAppMainWindow::Complete && shows(0); }));
    QVERIFY(unit->waitOutputConnected());
    QVERIFY(pads->waitOutputConnected());
    unit->stopAnswering();
    capture->clear();
}

void TestNestedBoxes::cleanup()
{
    window.reset();
    capture.reset();
    pads.reset();
    unit.reset();
}

bool TestNestedBoxes::shows(int preset) const
{
    for (int i = 0; i < AppSetting::presetCount; ++i) {
        if (window->presetButton(i)->styleSheet().contains("#FF570D") != (i == preset))
            return false;
    }
    return window->reportedPreset() == preset;
}

void TestNestedBoxes::failingSendsUnderStatusReplies()
{
    window->remoteOut()->failSendsWith(remoteText);
    window->hardOut()->failSendsWith(hardText);
    BoxWatcher boxes(40, [&] { return lines("Rcv    : "); });

    // Status replies for alternating presets every 5 ms, a pad press every
    // 25 ms, and the settings dialog open for a while: timers, so that they
    // go on inside every nested loop.
    const int replies = 300;
    int sent = 0;
    int presses = 0;
    bool dialogShown = false;
    QTimer replyTimer;
    connect(&replyTimer, &QTimer::timeout, [&] {
        if (sent < replies)
            unit->send(DevicePeer::statusReply(serial, 1 + sent++ % 2));
    });
    QTimer padTimer;
    connect(&padTimer, &QTimer::timeout, [&] {
        pads->send({0x90, static_cast<unsigned char>(54 + presses++ % 6), 127});
    });
    QTimer::singleShot(400, window.get(), [&] { window->on_pushSetting_clicked(); });
    QTimer::singleShot(1000, window.get(), [&] {
        dialogShown = window->settingDialog()->isVisible();
        window->settingDialog()->reject();
    });
    replyTimer.start(5);
    padTimer.start(25);
    QVERIFY(TestWait::until([&] { return sent == replies; }, 20000));
    replyTimer.stop();
    padTimer.stop();
    // Until all that came in (the service may drop a message under load) has
    // been handled and every box has gone.
    const auto settled = [&] {
        return lines("Rcv    : ") == lines("channel 96") &&
               QApplication::activeModalWidget() == nullptr;
    };
    QVERIFY(TestWait::until(settled, 10000));
    QTest::qWait(100); // the last pad presses
    QVERIFY(settled());
    const int delivered = lines("channel 96");
    QVERIFY(delivered > replies / 2);

    QVERIFY(dialogShown);
    QCOMPARE(lines("Send   : "), 0); // a failed send logs nothing
    QVERIFY(boxes.count(remoteTitle) >= 2);
    QVERIFY(boxes.count(hardTitle) >= 1);
    for (const BoxWatcher::Box &box : boxes.boxes())
        QCOMPARE(box.text, box.title == remoteTitle ? remoteText : hardText);
    QCOMPARE(boxes.maxOpen(remoteTitle), 1);
    QCOMPARE(boxes.maxOpen(hardTitle), 1);
    QVERIFY(boxes.maxModal() <= 3);               // at most a box of each kind and the dialog
    QVERIFY(boxes.maxProbeGrowthWhileOpen() > 0); // replies went on inside a box

    // Every failed send (each wrote its "send message" line first) was shown
    // or written down: feedback notes in sixes, one request per pad press.
    const int remoteFailures = boxes.count(remoteTitle) + lines(remoteTitle + ": " + remoteText);
    const int hardFailures = boxes.count(hardTitle) + lines(hardTitle + ": " + hardText);
    const int padPresses = lines("channel 0");
    QCOMPARE(remoteFailures, lines("send message 144"));
    QCOMPARE(remoteFailures % 6, 0);
    QCOMPARE(hardFailures, lines("send message 240"));
    QCOMPARE(hardFailures, padPresses);

    // Sends work again as soon as the outputs do.
    const int boxesShown = boxes.boxes().size();
    window->remoteOut()->failSendsWith(QString());
    window->hardOut()->failSendsWith(QString());
    pads->send({0x90, 57, 127});
    QVERIFY(unit->waitForMessage(makePresetRequest(serial, 3)));
    QCOMPARE(boxes.boxes().size(), boxesShown);
    const int modal = boxes.maxModal();
    const int depth = boxes.maxLoopLevel();
    capture.reset();
    qInfo("%d status replies delivered and %d pad presses, all sends failing: %d + %d failures, "
          "%d + %d boxes one at a time, at most %d modal windows at once, event loops nested "
          "%d deep at most (the test's own wait included)",
          delivered, padPresses, remoteFailures, hardFailures, boxes.count(remoteTitle),
          boxes.count(hardTitle), modal, depth);
}

// The unit reports preset 2, whose feedback fails into a box; while the box
// is open it reports preset 1 again. The window must end up showing preset 1.
void TestNestedBoxes::replyDuringBoxIsShown()
{
    window->remoteOut()->failSendsWith(remoteText);
    BoxWatcher boxes(100, [&] { return lines("Rcv    : "); });
    // The test's own code runs again only once every box has gone, so the
    // second report goes out from a timer, inside the first box's loop.
    QTimer secondReport;
    connect(&secondReport, &QTimer::timeout, [&] {
        if (boxes.boxes().size() == 1) {
            unit->send(DevicePeer::statusReply(serial, 0));
            secondReport.stop();
        }
    });
    secondReport.start(2);
    unit->send(DevicePeer::statusReply(serial, 1));
    QVERIFY(TestWait::until(
        [&] { return lines("Rcv    : ") == 2 && QApplication::activeModalWidget() == nullptr; },
        5000));
    QCOMPARE(boxes.maxProbeGrowthWhileOpen(), 1); // the second report came inside the box
    QVERIFY2(shows(0), qPrintable(QString("the window shows preset index %1 after the unit "
                                          "reported index 0 last")
                                      .arg(window->reportedPreset())));
}

QTEST_MAIN(TestNestedBoxes)
#include "tst_nestedboxes.moc"
