// The remote controller as the unit and the pads see it: which messages,
// under which bindings, end in a preset request, which lamps follow, and
// learning from the settings. One window serves every case: each row sets
// its bindings and leaves every controller low. Main thread.

#include "jackprobe.h"
#include "midiservice.h"
#include "modalanswerer.h"
#include "peer.h"
#include "remotebindingsdialog.h"
#include "setlistplayer.h"
#include "stagecontrol.h"
#include "testwait.h"
#include "windowbench.h"

#include <QComboBox>
#include <QPushButton>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(ByteVector)

namespace {

// The defaults with changes such as "Next=cc any 64; Preset1=".
RemoteBindings changed(const QString &changes)
{
    RemoteBindings bindings = RemoteBindings::defaults();
    for (const QString &change : changes.split(';', Qt::SkipEmptyParts)) {
        for (int i = 0; i < RemoteBindings::actionCount; ++i) {
            if (RemoteBindingsDialog::rowName(RemoteBindings::action(i)) ==
                change.section('=', 0, 0).trimmed())
                bindings.set(RemoteBindings::action(i),
                             RemoteBinding::fromText(change.section('=', 1)).value());
        }
    }
    return bindings;
}

// Messages one after another, each starting at its status byte.
std::vector<ByteVector> split(const ByteVector &bytes)
{
    std::vector<ByteVector> messages;
    for (unsigned char byte : bytes) {
        if (byte >= 0x80 || messages.empty())
            messages.emplace_back();
        messages.back().push_back(byte);
    }
    return messages;
}

} // namespace

class TestPresets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Made here, so that its capture of the traffic comes after the test log's.
        bench = std::make_unique<WindowBench>(WindowBench::ports(&unit, &pads));
        // The first request may go out in the cycle that makes the connection.
        jackProbe().settle();
        setLinked(true, true);
        // A setlist for Song Select; no other row binds a setlist action.
        Setlist setlist;
        setlist.songs() << Setlist::Song{"A", {1}} << Setlist::Song{"B", {5, 2}};
        bench->window().findChild<StageControl *>()->player().take(setlist, "/gig.txt");
    }

    // Pads act only while the buttons are enabled, and only at velocity 127;
    // the foot switch (Note On at 0 or Note Off) follows the list as it
    // stands, whatever the link; other
    // bindings replace the pads' notes, Previous and Next step from the
    // reported preset as the keys do. (A click's request is checked with the
    // keys that click.)
    void requests_data()
    {
        QTest::addColumn<bool>("linked");
        QTest::addColumn<int>("footSwitch");     // the list's position: 0 none, 1 to 6
        QTest::addColumn<ByteVector>("message"); // one or more
        QTest::addColumn<int>("preset");         // requested, -1 for none
        QTest::addColumn<QString>("bindings");   // changes to the defaults
        QTest::addColumn<int>("reported");       // while linked: 1 to 6, 0 none
        QTest::newRow("pad 3, channel 10")
            << true << 0 << ByteVector{0x99, 56, 127} << 2 << "" << 6;
        QTest::newRow("velocity 100") << true << 0 << ByteVector{0x90, 56, 100} << -1 << "" << 6;
        QTest::newRow("note 53") << true << 0 << ByteVector{0x90, 53, 127} << -1 << "" << 6;
        QTest::newRow("note 60") << true << 0 << ByteVector{0x90, 60, 127} << -1 << "" << 6;
        QTest::newRow("pad Note Off") << true << 0 << ByteVector{0x80, 56, 127} << -1 << "" << 6;
        QTest::newRow("foot switch, none") << true << 0 << ByteVector{0x90, 69, 0} << -1 << "" << 6;
        QTest::newRow("foot switch") << true << 3 << ByteVector{0x90, 69, 0} << 2 << "" << 6;
        QTest::newRow("foot switch at 127")
            << true << 3 << ByteVector{0x90, 69, 127} << -1 << "" << 6;
        // A Note Off is MIDI's own Note On at velocity 0: bridges send one for the other.
        QTest::newRow("foot switch Note Off")
            << true << 3 << ByteVector{0x80, 69, 0} << 2 << "" << 6;
        QTest::newRow("foot switch Note Off at 64")
            << true << 3 << ByteVector{0x8F, 69, 64} << 2 << "" << 6;
        // A key's release belongs to its press, though the foot switch is its note at 0.
        const QString key = "Preset5=note any 69 on";
        QTest::newRow("key on the foot switch's note, Note Off")
            << true << 3 << ByteVector{0x90, 69, 100, 0x80, 69, 64} << 4 << key << 6;
        QTest::newRow("key on the foot switch's note, Note On 0")
            << true << 3 << ByteVector{0x91, 69, 100, 0x91, 69, 0} << 4 << key << 6;
        QTest::newRow("note 70 at 0") << true << 3 << ByteVector{0x90, 70, 0} << -1 << "" << 6;
        const QString layout = "Preset1=program 1 0; Preset2=program 1 1";
        QTest::newRow("program layout") << true << 0 << ByteVector{0xC0, 1} << 1 << layout << 6;
        QTest::newRow("program, other channel")
            << true << 0 << ByteVector{0xC1, 1} << -1 << layout << 6;
        QTest::newRow("pad moved away")
            << true << 0 << ByteVector{0x90, 54, 127} << -1 << layout << 6;
        const QString pedal = "Next=cc any 64";
        QTest::newRow("pedal down and up")
            << true << 0 << ByteVector{0xB3, 64, 127, 0xB3, 64, 0} << 3 << pedal << 3;
        QTest::newRow("pedal half down")
            << true << 0 << ByteVector{0xB0, 64, 63, 0xB0, 64, 0} << -1 << pedal << 3;
        QTest::newRow("Next at the end")
            << true << 0 << ByteVector{0xB0, 64, 127, 0xB0, 64, 0} << -1 << pedal << 6;
        QTest::newRow("Next, none reported")
            << true << 0 << ByteVector{0xB0, 64, 127, 0xB0, 64, 0} << 0 << pedal << 0;
        const QString previous = "Previous=note 2 60 on";
        QTest::newRow("Previous") << true << 0 << ByteVector{0x91, 60, 1} << 3 << previous << 5;
        QTest::newRow("Previous at the start")
            << true << 0 << ByteVector{0x91, 60, 1} << -1 << previous << 1;
        QTest::newRow("Previous, none reported")
            << true << 0 << ByteVector{0x91, 60, 1} << 0 << previous << 0;
        QTest::newRow("Previous, channel 1")
            << true << 0 << ByteVector{0x90, 60, 1} << -1 << previous << 5;
        // Song Select 1 is the second song, its first part on preset 5.
        QTest::newRow("Song Select") << true << 0 << ByteVector{0xF3, 1} << 4 << "" << 6;
        QTest::newRow("Song Select past the end")
            << true << 0 << ByteVector{0xF3, 2} << -1 << "" << 6;
        // Unlinked last: the unit stays silent to the end of the table.
        QTest::newRow("unlinked pad") << false << 4 << ByteVector{0x90, 54, 127} << -1 << "" << 6;
        QTest::newRow("unlinked foot switch")
            << false << 6 << ByteVector{0x95, 69, 0} << 5 << "" << 6;
        QTest::newRow("unlinked Next")
            << false << 6 << ByteVector{0xB0, 64, 127, 0xB0, 64, 0} << -1 << pedal << 0;
    }
    void requests()
    {
        QFETCH(bool, linked);
        QFETCH(int, footSwitch);
        QFETCH(ByteVector, message);
        QFETCH(int, preset);
        QFETCH(QString, bindings);
        QFETCH(int, reported);
        setLinked(linked);
        bench->window().pads().setBindings(changed(bindings));
        if (linked)
            report(reported);
        bench->widget<QComboBox>("comboFootSwitchPreset")->setCurrentIndex(footSwitch);
        unit.clear();
        const ByteVector serial = linked ? Peer::serial : ByteVector();
        std::vector<ByteVector> expected;
        if (preset >= 0)
            expected.push_back(makePresetRequest(serial, static_cast<unsigned char>(preset)));
        // A sentinel behind the message, one that must be answered: a pad
        // while linked, else the foot switch.
        for (const ByteVector &part : split(message))
            pads.send(part);
        pads.send(linked ? ByteVector{0x90, 59, 127} : ByteVector{0x90, 69, 0});
        expected.push_back(makePresetRequest(serial, linked ? 5 : footSwitch - 1));
        QVERIFY(unit.waitFor(int(expected.size())));
        QCOMPARE(unit.received(), expected);
    }

    // Each preset's lamp on its bound control, lit for the reported preset; a
    // preset bound to a program, or to nothing, has none.
    void lamps_data()
    {
        QTest::addColumn<QString>("bindings");
        QTest::addColumn<int>("reported");     // 1 to 6
        QTest::addColumn<QByteArray>("lamps"); // the last messages at the pads
        QTest::newRow("defaults") << "" << 2
                                  << QByteArray("903600 90377F 903800 903900 903A00 903B00");
        const QString mixed =
            "Preset1=note 3 60 on; Preset2=cc 16 20; Preset3=program 1 2; Preset4=";
        QTest::newRow("note lit") << mixed << 1 << QByteArray("923C7F BF1400 903A00 903B00");
        QTest::newRow("controller lit") << mixed << 2 << QByteArray("923C00 BF147F 903A00 903B00");
    }
    void lamps()
    {
        QFETCH(QString, bindings);
        QFETCH(int, reported);
        QFETCH(QByteArray, lamps);
        setLinked(true);
        bench->window().pads().setBindings(changed(bindings));
        report(reported);
        QVERIFY(padsEndWith(lamps));
    }

    // A binding learnt for PRESET2, the reported preset, acts after the
    // settings' OK only, and the press that teaches it does not also choose,
    // nor does its release fire the foot switch (on PRESET3 meanwhile).
    // OK darkens the lamps on controls their presets lost and lights the new
    // ones at once, before the unit's next report (PRESET3).
    void learning_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<ByteVector>("control"); // pressed to teach
        QTest::addColumn<int>("preset");         // what pad 1 chooses afterwards
        QTest::addColumn<QByteArray>("lamps");   // after OK, then after the report
        QTest::newRow("CANCEL") << "pushCancel" << ByteVector{0x90, 54, 127} << 0
                                << QByteArray("903600 903700 90387F 903900 903A00 903B00");
        QTest::newRow("OK, pad 1") << "pushOK" << ByteVector{0x90, 54, 127} << 1
                                   << QByteArray("903600 903700 90367F 903800 903900 903A00 903B00"
                                                 " 903600 90387F 903900 903A00 903B00");
        QTest::newRow("OK, controller")
            << "pushOK" << ByteVector{0xB1, 64, 127} << 0
            << QByteArray("903700 903600 B1407F 903800 903900 903A00 903B00"
                          " 903600 B14000 90387F 903900 903A00 903B00");
        QTest::newRow("OK, key on the foot switch's note")
            << "pushOK" << ByteVector{0x90, 69, 100, 0x80, 69, 64} << 0
            << QByteArray("903700 903600 90457F 903800 903900 903A00 903B00"
                          " 903600 904500 90387F 903900 903A00 903B00");
    }
    void learning()
    {
        QFETCH(QString, answer);
        QFETCH(ByteVector, control);
        QFETCH(int, preset);
        QFETCH(QByteArray, lamps);
        const QByteArray before = "903600 90377F 903800 903900 903A00 903B00 ";
        setLinked(true);
        bench->window().pads().setBindings(RemoteBindings::defaults());
        report(2);
        unit.clear();
        ModalAnswerer answerer;
        answerer.answerNext([&](QWidget *settings) {
            answerer.answerNext([&](QWidget *dialog) {
                // From the defaults, whatever an earlier row stored.
                dialog->findChild<QPushButton *>("pushDefaults")->click();
                dialog->findChild<QPushButton *>("pushLearnPreset2")->click();
                for (const ByteVector &part : split(control))
                    pads.send(part);
                TestWait::until(
                    [&] { return !static_cast<RemoteBindingsDialog *>(dialog)->isLearning(); });
                dialog->findChild<QPushButton *>("pushOK")->click();
            });
            settings->findChild<QComboBox *>("comboFootSwitchPreset")->setCurrentIndex(3);
            settings->findChild<QPushButton *>("pushRemoteBindings")->click();
            settings->findChild<QPushButton *>(answer)->click();
        });
        bench->widget<QPushButton>("pushSetting")->click();
        report(3);
        QVERIFY(padsEndWith(before + lamps));
        pads.send({0x90, 54, 127});
        pads.send({0x90, 59, 127});
        QVERIFY(unit.waitFor(2));
        QCOMPARE(unit.received(), (std::vector<ByteVector>{makePresetRequest(Peer::serial, preset),
                                                           makePresetRequest(Peer::serial, 5)}));
        // The unit's answers taken, so that none comes late into the next row.
        QVERIFY(TestWait::until([&] { return bench->window().link().currentPreset() == 5; }));
    }

private:
    // The pads' last messages are these lamps ("903600 90377F"), as delivered.
    bool padsEndWith(const QByteArray &lamps)
    {
        const QByteArray bytes = QByteArray::fromHex(lamps);
        std::vector<ByteVector> expected = split(ByteVector(bytes.begin(), bytes.end()));
        for (ByteVector &lamp : expected)
            lamp = MidiService::delivered(lamp);
        return TestWait::until([&] {
            const std::vector<ByteVector> &got = pads.received();
            return got.size() >= expected.size() &&
                   std::equal(expected.rbegin(), expected.rend(), got.rbegin());
        });
    }

    // The unit reports a preset (1 to 6, 0 for none) and the window has taken it.
    void report(int preset)
    {
        ++reports;
        unit.send(unit.unit().choosePreset(preset).reply);
        QVERIFY(
            TestWait::until([&] { return bench->window().link().currentPreset() == preset - 1; }));
    }

    // Unlinked: the unit is silent, the window waits for its serial number.
    void setLinked(bool linked, bool again = false)
    {
        HardwareLink &link = bench->window().link();
        const auto complete = [&] {
            return link.hardStatus() == HardwareLink::HardStatus::Complete;
        };
        // Every request answered first: a late answer would be taken for the serial number.
        const auto count = [&](const char *prefix) {
            return bench->traffic().filter(prefix).size();
        };
        if (linked == complete() && !again)
            return;
        QVERIFY(linked || TestWait::until([&] { return count("Rcv") == count("Send") + reports; }));
        unit.unit().setSilent(!linked);
        unit.clear();
        link.requestSerial();
        QVERIFY(unit.waitFor(1) && TestWait::until([&] { return complete() == linked; }));
    }

    Peer unit{"h11a-unit", Peer::Unit};
    Peer pads{"h11a-pads"};
    std::unique_ptr<WindowBench> bench;
    int reports = 0; // sent by the unit unasked
};

QTEST_MAIN(TestPresets)
#include "tst_presets.moc"
