// Failed sends to the unit and to the pad controller: the error box, nothing
// logged, no state changed, and no box opened inside another of its kind.
// RtMidi's JACK send never throws (it drops a message too long for its
// buffer and waits while the buffer is full), so the output port object is
// told to fail its sends: it throws RtMidiError where the library's send
// would be called, after its "send message" line.
#include "devicebench.h"
#include "modalanswerer.h"
#include "testwait.h"

#include "qmidiout.h"
#include "tarnappmainwindow.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using Bytes = DeviceBench::Bytes;

namespace {

const QString ErrorText = "The MIDI service did not take the message.";

int linesWith(DeviceBench &bench, const QString &title)
{
    int count = 0;
    for (const QString &line : bench.log().lines(title)) {
        if (line.contains(ErrorText))
            ++count;
    }
    return count;
}

} // namespace

// The Qt Test cases of this file; GUI thread.
class TestSendError : public QObject
{
    Q_OBJECT

private slots:
    void failedPresetRequestShowsBoxAndLogsNothing()
    {
        DeviceBench bench;
        TarnAppMainWindow &window = bench.start();
        QVERIFY(bench.completeLink(0x03));
        bench.unit().clearReceived();
        bench.log().clear();

        bool critical = false, onlyOk = false, parentIsWindow = false;
        ModalAnswerer answerer;
        answerer.answerNext([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            if (box) {
                critical = box->icon() == QMessageBox::Critical;
                onlyOk = box->buttons().size() == 1 && box->button(QMessageBox::Ok);
                parentIsWindow = box->parentWidget() == &window;
            }
            window.hardOut()->failSendsWith(QString());
            ModalAnswerer::close(modal);
        });
        window.hardOut()->failSendsWith(ErrorText);
        window.presetButton(3)->click();

        QCOMPARE(answerer.titles(), QStringList{"Midi Hard Send Error"});
        QCOMPARE(answerer.seen().at(0).text, ErrorText);
        // Tried once: the port object wrote its line, then failed.
        QCOMPARE(bench.log().lines("send message 240").size(), 1);
        QVERIFY(critical);
        QVERIFY(onlyOk);
        QVERIFY(parentIsWindow);
        QVERIFY(bench.trafficLog().isEmpty());
        QCOMPARE(window.linkStatus(), int(TarnAppMainWindow::Complete));
        QCOMPARE(window.reportedPreset(), 2);
        QCOMPARE(window.presetButton(2)->styleSheet(), DeviceBench::buttonStyle("#FF570D"));

        // The next request goes through, and is the only one the unit gets.
        window.presetButton(4)->click();
        QVERIFY(bench.unit().waitForMessages(1));
        TestWait::runEventLoop(100);
        QCOMPARE(bench.unit().received(),
                 std::vector<Bytes>{DeviceBench::presetRequest(DeviceBench::serial, 4)});
        QCOMPARE(bench.trafficLog(),
                 QStringList{"Send   : F0 0A 1B 2C 3D 4E 5F 60 71 02 06 04 07 F7"});
    }

    void failedSerialRequestKeepsWaitSerial()
    {
        DeviceBench bench;
        TarnAppMainWindow &window = bench.start();
        QVERIFY(bench.completeLink(0x03));
        bench.unit().clearReceived();
        bench.log().clear();

        int statusInBox = -1;
        bool serialHeldInBox = true;
        ModalAnswerer answerer;
        answerer.answerNext([](QWidget *dialog) {
            if (auto *reconnect = dialog->findChild<QPushButton *>("pushGetSerial"))
                reconnect->click();
            if (auto *cancel = dialog->findChild<QPushButton *>("pushCancel"))
                cancel->click();
        });
        answerer.answerNext([&](QWidget *box) {
            // The link was reset before the send was tried.
            statusInBox = window.linkStatus();
            serialHeldInBox = !window.heldSerial().empty();
            window.hardOut()->failSendsWith(QString());
            ModalAnswerer::close(box);
        });
        window.hardOut()->failSendsWith(ErrorText);
        window.settingButton()->click();
        TestWait::runEventLoop(150);

        QCOMPARE(answerer.titles(), QStringList({"Hard Settings", "Midi Hard Send Error"}));
        QCOMPARE(statusInBox, int(TarnAppMainWindow::WaitSerial));
        QVERIFY(!serialHeldInBox);
        // What requestSerial set before sending stays; nothing was logged or sent.
        QCOMPARE(window.linkStatus(), int(TarnAppMainWindow::WaitSerial));
        QVERIFY(window.heldSerial().empty());
        QCOMPARE(window.reportedPreset(), -2);
        QCOMPARE(window.messageLabel()->text(), QString("Serial number isn't being received."));
        QVERIFY(!window.presetButton(0)->isEnabled());
        QVERIFY(bench.trafficLog().isEmpty());
        QCOMPARE(bench.unit().receivedCount(), 0);
    }

    void sixFailedFeedbackNotesGiveSixBoxesInTurn()
    {
        DeviceBench bench;
        TarnAppMainWindow &window = bench.start();
        QVERIFY(bench.awaitSerialRequest());
        bench.log().clear();

        ModalAnswerer answerer;
        window.remoteOut()->failSendsWith(ErrorText);
        QVERIFY(bench.unit().send(DeviceBench::statusReply(DeviceBench::serial, 0x03)));
        QVERIFY(answerer.waitForSeen(6));
        TestWait::runEventLoop(150);

        QCOMPARE(bench.log().lines("send message 144").size(), 6);
        QCOMPARE(answerer.seen().size(), 6);
        for (const ModalAnswerer::Seen &box : answerer.seen()) {
            QCOMPARE(box.title, QString("Midi Remote Send Error"));
            QCOMPARE(box.text, ErrorText);
            QCOMPARE(box.boxesShown, 1);
        }
        QCOMPARE(bench.pads().receivedCount(), 0);
        // Remote traffic is never in the traffic log; the unit's is.
        QCOMPARE(bench.trafficLog(), QStringList({"Rcv    : F0 0A 1B 2C 3D 4E 5F 60 71 01 03 F7",
                                                  "Send   : F0 0A 1B 2C 3D 4E 5F 60 71 02 01 F7"}));
        QCOMPARE(window.linkStatus(), int(TarnAppMainWindow::Complete));
        QCOMPARE(window.reportedPreset(), 2);
        QCOMPARE(window.presetButton(2)->styleSheet(), DeviceBench::buttonStyle("#FF570D"));
    }

    void remoteFailuresInsideAnOpenBoxGoToTheDebugOutput()
    {
        DeviceBench bench;
        TarnAppMainWindow &window = bench.start();
        QVERIFY(bench.awaitSerialRequest());

        ModalAnswerer answerer;
        bool sixInside = false;
        answerer.answerNext([&](QWidget *box) {
            // A second status reply arrives while the first box is open.
            bench.unit().send(DeviceBench::statusReply(DeviceBench::serial, 0x05));
            sixInside =
                TestWait::until([&] { return linesWith(bench, "Midi Remote Send Error") == 6; });
            ModalAnswerer::close(box);
        });
        window.remoteOut()->failSendsWith(ErrorText);
        QVERIFY(bench.unit().send(DeviceBench::statusReply(DeviceBench::serial, 0x03)));
        QVERIFY(answerer.waitForSeen(6));
        TestWait::runEventLoop(150);

        QVERIFY(sixInside);
        QCOMPARE(bench.log().lines("send message 144").size(), 12);
        QCOMPARE(answerer.seen().size(), 6);
        for (const ModalAnswerer::Seen &box : answerer.seen())
            QCOMPARE(box.boxesShown, 1);
        QCOMPARE(linesWith(bench, "Midi Remote Send Error"), 6);
    }

    void hardFailureInsideAnOpenBoxGoesToTheDebugOutput()
    {
        DeviceBench bench;
        TarnAppMainWindow &window = bench.start();
        QVERIFY(bench.completeLink(0x03));
        bench.unit().clearReceived();
        bench.log().clear();

        ModalAnswerer answerer;
        bool lineInside = false;
        answerer.answerNext([&](QWidget *box) {
            // A pad press while the box is open fails as well.
            bench.pads().send({0x90, 57, 127});
            lineInside =
                TestWait::until([&] { return linesWith(bench, "Midi Hard Send Error") == 1; });
            ModalAnswerer::close(box);
        });
        window.hardOut()->failSendsWith(ErrorText);
        window.presetButton(0)->click();
        TestWait::runEventLoop(100);

        QVERIFY(lineInside);
        QCOMPARE(answerer.titles(), QStringList{"Midi Hard Send Error"});
        QCOMPARE(linesWith(bench, "Midi Hard Send Error"), 1);
        QCOMPARE(bench.log().lines("send message 240").size(), 2);
        QVERIFY(bench.trafficLog().isEmpty());
        QCOMPARE(bench.unit().receivedCount(), 0);
    }
};

QTEST_MAIN(TestSendError)
#include "tst_senderror.moc"
