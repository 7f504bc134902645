// The remote controller's bindings without MIDI: which action a message
// fires, the setting file's text, the lamps, and learning in the dialog
// driven through its offer slot. Main thread.
#include "appsetting.h"
#include "debugcapture.h"
#include "remotebindingsdialog.h"
#include "remotematcher.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using Bytes = ByteVector;
Q_DECLARE_METATYPE(Bytes)

namespace {

RemoteAction actionNamed(const QString &name)
{
    for (int i = 0; i < RemoteBindings::actionCount; ++i) {
        if (RemoteBindingsDialog::rowName(RemoteBindings::action(i)) == name)
            return RemoteBindings::action(i);
    }
    qFatal("no action %s", qPrintable(name));
}

// The defaults with changes such as "Next=cc any 64; Preset1=".
RemoteBindings changed(const QString &changes)
{
    RemoteBindings bindings = RemoteBindings::defaults();
    for (const QString &change : changes.split(';', Qt::SkipEmptyParts))
        bindings.set(actionNamed(change.section('=', 0, 0).trimmed()),
                     RemoteBinding::fromText(change.section('=', 1)).value());
    return bindings;
}

Bytes hex(const QString &text)
{
    const QByteArray bytes = QByteArray::fromHex(text.toLatin1());
    return Bytes(bytes.begin(), bytes.end());
}

} // namespace

class TestRemoteBindings : public QObject
{
    Q_OBJECT

private slots:
    // Catches the pads and foot switch answering other notes, velocities or
    // channels than before, a Note Off not standing for velocity 0, a
    // controller firing on release or while held, channels mixed up, and a
    // key's release firing the foot switch when its press fired an action.
    void matching_data()
    {
        QTest::addColumn<QString>("changes");
        QTest::addColumn<QString>("messages"); // in hexadecimal
        QTest::addColumn<QString>("fired");    // one action or "-" per message
        QTest::newRow("pads 54-59 at 127, any channel")
            << ""
            << "90367F 9F3B7F 903664 90357F 903C7F 80367F B0367F C036"
            << "Preset1 Preset6 - - - - - -";
        QTest::newRow("foot switch 69 at 0, Note Off, cut short")
            << ""
            << "904500 854540 90457F 904600 9045"
            << "FootSwitch FootSwitch - - FootSwitch";
        QTest::newRow("data above 127 fires nothing") << "Next=cc any 64"
                                                      << "9036FF 9045FF B0C07F"
                                                      << "- - -";
        QTest::newRow("controller rising to 64, on each channel")
            << "Next=cc any 64"
            << "B0407F B04000 B0403F B04040 B04050 B1407F B1407F"
            << "Next - - Next - Next -";
        QTest::newRow("controller on one channel") << "Previous=cc 2 1"
                                                   << "B0017F B1017F"
                                                   << "- Previous";
        QTest::newRow("programs") << "Preset1=program 1 0; Preset2=program any 1"
                                  << "C000 C100 C501 C002"
                                  << "Preset1 - Preset2 -";
        // A release belongs to its press; a note held by nothing still fires on release.
        QTest::newRow("key on the foot switch's note, Note Off") << "Preset6=note any 69 on"
                                                                 << "904564 804540 804540"
                                                                 << "Preset6 - FootSwitch";
        QTest::newRow("key on the foot switch's note, Note On 0") << "Preset6=note any 69 on"
                                                                  << "914564 914500 904500"
                                                                  << "Preset6 - FootSwitch";
        QTest::newRow("any velocity above 0") << "Preset3=note 2 60 on"
                                              << "913C01 913C00 813C40 903C7F 91387F"
                                              << "Preset3 - - - -";
    }
    void matching()
    {
        QFETCH(QString, changes);
        QFETCH(QString, messages);
        const RemoteBindings bindings = changed(changes);
        RemoteMatcher matcher;
        QStringList fired;
        for (const QString &message : messages.split(' ')) {
            const auto action = matcher.take(bindings, hex(message));
            fired << (action ? RemoteBindingsDialog::rowName(*action) : "-");
        }
        QTEST(fired.join(' '), "fired");
    }

    // Catches a form the file cannot give back, a range not checked, and
    // words that say another message than the one bound.
    void texts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored"); // "!" for no binding
        QTest::addColumn<QString>("words");
        QTest::newRow("note") << "note any 54 127"
                              << "note any 54 127"
                              << "Note 54 velocity 127, any channel";
        QTest::newRow("note on, spaced, capitals") << " NOTE  16 0 on\t"
                                                   << "note 16 0 on"
                                                   << "Note 0 velocity 1–127, channel 16";
        QTest::newRow("cc") << "cc 2 64"
                            << "cc 2 64"
                            << "CC 64 ≥ 64, channel 2";
        QTest::newRow("program") << "program 1 3"
                                 << "program 1 3"
                                 << "Program 3, channel 1";
        QTest::newRow("empty") << " "
                               << ""
                               << "—";
        for (const char *bad :
             {"note 0 54 127", "note 17 54 1", "note any 128 1", "note any 54", "note any 54 128",
              "cc any 64 127", "program any -1", "cc any +1", "pedal 1 2", "cc any x"})
            QTest::newRow(bad) << bad << "!"
                               << "";
    }
    void texts()
    {
        QFETCH(QString, text);
        const auto binding = RemoteBinding::fromText(text);
        QTEST(binding ? binding->toText() : "!", "stored");
        if (binding) {
            QTEST(binding->words(), "words");
            QCOMPARE(RemoteBinding::fromText(binding->toText()), binding);
        }
    }

    // Catches a key that is not read alone, a bad value taken as unbound or
    // kept silent, and an empty value not meaning unbound.
    void settingKeys_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("changes");
        QTest::addColumn<QString>("debug");
        QTest::newRow("empty") << QByteArray("RemoteFootSwitch=") << "FootSwitch="
                               << "";
        QTest::newRow("out of range") << QByteArray("RemotePreset3=note any 300 127") << ""
                                      << "Setting: RemotePreset3 holds no binding "
                                         "(\"note any 300 127\"); its default is used";
        QTest::newRow("commas") << QByteArray("RemoteNext=cc, 1, 64") << ""
                                << "Setting: RemoteNext holds no binding (\"cc,1,64\"); "
                                   "its default is used";
        QTest::newRow("another type") << QByteArray("RemoteFootSwitch=@Rect(1 2 3 4)") << ""
                                      << "Setting: RemoteFootSwitch holds no binding (\"\"); "
                                         "its default is used";
    }
    void settingKeys()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, changes);
        QTemporaryDir dir;
        QFile file(dir.filePath("a.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(line + "\nPreset2=kept\n") > 0);
        file.close();
        DebugCapture debug;
        AppSetting record;
        record.loadSettingFile(file.fileName());
        QCOMPARE(record.remoteBindings(), changed(changes));
        QCOMPARE(record.presetName(1), QString("kept"));
        QTEST(debug.lines("Setting:").join('\n'), "debug");
    }

    // Catches a lamp on the wrong note, channel or value, and a lamp sent
    // to a control that has none.
    void lamps_data()
    {
        QTest::addColumn<QString>("binding"); // for PRESET3
        QTest::addColumn<Bytes>("lit");
        QTest::addColumn<Bytes>("dark");
        QTest::newRow("note, any channel") << "note any 60 on" << hex("903C7F") << hex("903C00");
        QTest::newRow("note, channel 3") << "note 3 60 0" << hex("923C7F") << hex("923C00");
        QTest::newRow("controller") << "cc 16 20" << hex("BF147F") << hex("BF1400");
        QTest::newRow("program") << "program 1 2" << Bytes() << Bytes();
        QTest::newRow("unbound") << "" << Bytes() << Bytes();
    }
    void lamps()
    {
        QFETCH(QString, binding);
        const RemoteBindings bindings = changed("Preset3=" + binding);
        QTEST(bindings.lamp(2, true), "lit");
        QTEST(bindings.lamp(2, false), "dark");
        // The pads' lamps as they always were: notes 54 to 59 on channel 1.
        for (int preset : {0, 5})
            QCOMPARE(bindings.lamp(preset, preset == 0),
                     (Bytes{0x90, Bytes::value_type(54 + preset),
                            Bytes::value_type(preset == 0 ? 0x7F : 0)}));
    }

    // The dialog driven as a user drives it, the remote input's messages
    // offered to it; what its caller keeps (the bindings after OK, the old
    // ones after CANCEL) and what its rows show.
    void learning_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("kept"); // changes from the defaults
        QTest::newRow("note above 0: any velocity") << "learn:Preset1 offer:913C64 ok"
                                                    << "Preset1=note 2 60 on";
        QTest::newRow("note at 0") << "learn:FootSwitch offer:9F3000 ok"
                                   << "FootSwitch=note 16 48 0";
        QTest::newRow("controller") << "learn:Next offer:B3407F ok"
                                    << "Next=cc 4 64";
        QTest::newRow("others ignored, then program")
            << "learn:Previous offer:A03C10 offer:E00040 offer:C007 ok"
            << "Previous=program 1 7";
        // As PipeWire and a2jmidid deliver Note On 69 at velocity 0.
        QTest::newRow("bridged foot switch") << "clear:FootSwitch learn:FootSwitch offer:854540 ok"
                                             << "FootSwitch=note 6 69 0";
        QTest::newRow("key moves the foot switch off its note")
            << "learn:Preset6 offer:904564 ok"
            << "Preset6=note 1 69 on; FootSwitch=";
        QTest::newRow("moved from another action") << "learn:Preset2 offer:90367F ok"
                                                   << "Preset1=; Preset2=note 1 54 on";
        QTest::newRow("second click cancels") << "learn:Next learn:Next offer:C002 ok"
                                              << "";
        QTest::newRow("Escape cancels learning only") << "learn:Next escape offer:C002 ok"
                                                      << "";
        QTest::newRow("Escape ends the dialog") << "clear:Preset1 escape"
                                                << "";
        QTest::newRow("CANCEL") << "learn:Next offer:C002 clear:Preset1 cancel"
                                << "";
        QTest::newRow("clear, defaults") << "clear:Preset1 clear:Preset6 defaults ok"
                                         << "";
        QTest::newRow("Program Change layout")
            << "learn:Next offer:C302 layout offer:B0407F offer:C37F ok"
            << "Preset1=program 4 0; Preset2=program 4 1; Preset3=program 4 2;"
               "Preset4=program 4 3; Preset5=program 4 4; Preset6=program 4 5";
    }
    void learning()
    {
        QFETCH(QString, steps);
        RemoteBindingsDialog dialog;
        dialog.setBindings(RemoteBindings::defaults());
        dialog.show();
        QSignalSpy finished(&dialog, &QDialog::finished);
        const auto push = [&](const QString &name) {
            QPushButton *button = dialog.findChild<QPushButton *>(name);
            QVERIFY2(button, qPrintable(name));
            button->click();
        };
        for (const QString &step : steps.split(' ')) {
            const QString verb = step.section(':', 0, 0), what = step.section(':', 1);
            if (verb == "offer")
                dialog.offer(hex(what));
            else if (verb == "escape")
                QTest::keyClick(&dialog, Qt::Key_Escape);
            else
                push(QMap<QString, QString>{{"learn", "pushLearn"},
                                            {"clear", "pushClear"},
                                            {"layout", "pushProgramLayout"},
                                            {"defaults", "pushDefaults"},
                                            {"ok", "pushOK"},
                                            {"cancel", "pushCancel"}}[verb] +
                     what);
        }
        QFETCH(QString, kept);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished[0][0] == QDialog::Accepted ? dialog.bindings()
                                                     : RemoteBindings::defaults(),
                 changed(kept));
        for (int i = 0; i < RemoteBindings::actionCount; ++i) {
            const RemoteAction action = RemoteBindings::action(i);
            const QString name = "labelBinding" + RemoteBindingsDialog::rowName(action);
            QCOMPARE(dialog.findChild<QLabel *>(name)->text(),
                     dialog.bindings().at(action).words());
        }
    }
};

QTEST_MAIN(TestRemoteBindings)
#include "tst_remotebindings.moc"
