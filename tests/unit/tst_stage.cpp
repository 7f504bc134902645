// A gig's setlist in the main window without MIDI: steps from the keys and
// from remote messages (handed to the pads as the input delivers them), the
// requests and lines they give, the place kept in the setting file and
// resumed at start, files that cannot be resumed, and what the stage shows.
// With the hardware output closed the traffic log still shows every request.
// Main thread.

#include "modalanswerer.h"
#include "qmidimessage.h"
#include "remotebindingsdialog.h"
#include "setlist.h"
#include "setlistmark.h"
#include "unitpair.h"
#include "windowbench.h"

#include <QDockWidget>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Request = "Send   : F0 0A 1B 2C 3D 4E 5F 60 71 02 06 ";
const QByteArray Gig = "# Friday\nOpener: 1\nFür: Elise: 2 6\n\nLast One: 4 4 3\n";

// The unit's serial number with a status naming preset (1 to 6) as its answer.
void link(TarnAppMainWindow &window, int reported)
{
    window.link().requestSerial();
    QByteArray answer = QByteArray::fromHex("F00A1B2C3D4E5F607101") + char(reported) + char(0xF7);
    window.link().handleHardReply(ByteVector(answer.begin(), answer.end()));
}

// What the remote input delivers, one message at a time ("B05A7F B05A00 F301").
void receive(TarnAppMainWindow &window, const QString &messages)
{
    for (const QString &hex : messages.split(' ', Qt::SkipEmptyParts)) {
        const QByteArray bytes = QByteArray::fromHex(hex.toLatin1());
        QMidiMessage message;
        message.decode(ByteVector(bytes.begin(), bytes.end()), 0);
        window.pads().onMidiRemoteReceive(&message);
    }
}

} // namespace

class TestStage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(gig.open() && gig.write(Gig) && gig.flush()); }

    // From "song part" in the setting file, keys and remote messages in
    // turn. steps: each step's song, part and preset ("2 2 6"); presets: the
    // requests sent, in order. Bound: NextPart CC 90, PreviousPart CC 91,
    // NextSong Note 60, PreviousSong Program 5; CC 92 is bound to nothing.
    void steps_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("messages");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("presets");
        // name, from, keys, messages, steps, presets
        const char *const rows[][6] = {
            {"Page Down across a song", "1 1", "PgDown, PgDown, PgDown", "", "2 1 2, 2 2 6, 3 1 4",
             "264"},
            {"Page Up back into a song's last part", "3 1", "PgUp", "", "2 2 6", "6"},
            {"the arrows step presets", "1 1", "Right, Left", "", "", "42"},
            {"same preset sent again", "3 1", "PgDown", "", "3 2 4", "4"},
            {"bound actions", "1 1", "", "B05A7F B05A00 903C7F C505 B05B7F B05B00",
             "2 1 2, 3 1 4, 2 1 2, 1 1 1", "2421"},
            {"Song Select", "1 1", "", "F302 F300 F303 F37F", "3 1 4, 1 1 1", "41"},
            {"unbound MIDI moves nothing", "2 1", "", "B05C7F B05C00 903B00 C000 F20000 903D7F", "",
             ""}};
        for (const auto &row : rows)
            QTest::newRow(row[0]) << row[1] << row[2] << row[3] << row[4] << row[5];
    }
    void steps()
    {
        QFETCH(QString, from);
        QFETCH(QString, keys);
        QFETCH(QString, messages);
        QFETCH(QString, steps);
        QFETCH(QString, presets);
        WindowBench bench(setting(from), true, new UnitPair);
        TarnAppMainWindow &window = bench.window();
        RemoteBindings bindings = window.pads().bindings();
        bindings.set(RemoteAction::NextPart, *RemoteBinding::fromText("cc any 90"));
        bindings.set(RemoteAction::PreviousPart, *RemoteBinding::fromText("cc any 91"));
        bindings.set(RemoteAction::NextSong, *RemoteBinding::fromText("note any 60 on"));
        bindings.set(RemoteAction::PreviousSong, *RemoteBinding::fromText("program any 5"));
        window.pads().setBindings(bindings);
        link(window, 3);
        // Restoring sent nothing and said nothing.
        QCOMPARE(bench.log().lines("Setlist"), QStringList());
        QCOMPARE(bench.traffic().filter(" 02 06 "), QStringList());
        bench.log().clear();
        if (!keys.isEmpty())
            QTest::keySequence(bench.widget<QPushButton>("pushSetting"), QKeySequence(keys));
        receive(window, messages);

        const Setlist setlist = *Setlist::parse(Gig);
        QStringList lines;
        for (const QString &step : steps.split(", ", Qt::SkipEmptyParts)) {
            const QStringList at = step.split(' ');
            const Setlist::Song &song = setlist.songs()[at[0].toInt() - 1];
            lines << QString("Setlist: song %1/3 \"%2\" part %3/%4 -> preset %5")
                         .arg(at[0], song.name, at[1], QString::number(song.parts.size()), at[2]);
        }
        QCOMPARE(bench.log().lines("Setlist"), lines);
        QStringList requests;
        for (QChar preset : presets)
            requests << Request + QString("0%1 07 F7").arg(preset.digitValue() - 1);
        QCOMPARE(bench.traffic().filter(Request), requests);
        // Every step kept in the setting file, which keeps its other keys.
        const QVariantMap kept = WindowBench::read(AppSetting::settingFilePath());
        const QString last = steps.isEmpty() ? from : steps.section(", ", -1).section(' ', 0, 1);
        QCOMPARE(kept["SetlistPosition"].toString(), last);
        QCOMPARE(kept["Preset2"].toString(), QString("Clean"));
    }

    // A start that cannot resume says why in the debug output and on the
    // stage, and goes on without a setlist: Page Down steps presets again;
    // the setting file is left as it was.
    void cannotResume_data()
    {
        QTest::addColumn<QString>("file"); // "" for the gig's
        QTest::addColumn<QString>("position");
        QTest::addColumn<QString>("line"); // after "Setlist: FILE"
        // name, file, position, line (none: the place is gone)
        const char *const rows[][4] = {
            {"missing file", "none.txt", "1 1", ": No such file or directory"},
            {"part gone", "", "2 3", nullptr},
            {"song gone", "", "4 1", nullptr},
            {"no place", "", "second", nullptr},
            {"a bad line", "bad.txt", "1 1", " line 2: Encore 2 ("}};
        const QString gone = ": has no song and part \"%1\" any more; started without a setlist";
        for (const auto &row : rows)
            QTest::newRow(row[0]) << row[1] << row[2] << (row[3] ? row[3] : gone.arg(row[2]));
    }
    void cannotResume()
    {
        QFETCH(QString, file);
        QFETCH(QString, position);
        QFETCH(QString, line);
        QTemporaryDir dir;
        QFile bad(dir.filePath("bad.txt"));
        QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("Intro: 1\nEncore 2\n") > 0);
        bad.close();
        const QString path = file.isEmpty() ? gig.fileName() : dir.filePath(file);
        QVariantMap stored = setting(position);
        stored["SetlistFile"] = path;
        WindowBench bench(stored, true, new UnitPair);
        const QStringList said = bench.log().lines("Setlist: ");
        QCOMPARE(said.size(), 1);
        QVERIFY2(said[0].startsWith("Setlist: " + path + line), qPrintable(said[0]));
        QVERIFY(bench.widget<QLabel>("labelStageNotice")->isVisible());
        QVERIFY(!bench.widget<QLabel>("labelStageSong")->isVisible());
        link(bench.window(), 3);
        QTest::keyClick(bench.widget<QPushButton>("pushSetting"), Qt::Key_PageDown);
        QCOMPARE(bench.traffic().filter(Request).size(), 1);
        QCOMPARE(bench.traffic().filter(Request)[0].right(8), QString("03 07 F7"));
        const QVariantMap kept = WindowBench::read(AppSetting::settingFilePath());
        QCOMPARE(kept["SetlistFile"].toString(), path);
        QCOMPARE(kept["SetlistPosition"].toString(), position);
    }

    // The song large, its part, the next song, and the mark on the button of
    // the part's preset, which stays there while the unit reports another.
    void stageShows()
    {
        WindowBench bench(setting("2 2"), true, new UnitPair);
        link(bench.window(), 3);
        QVERIFY(QTest::qWaitForWindowExposed(&bench.window()));
        auto *song = bench.widget<QLabel>("labelStageSong");
        QVERIFY(song->isVisible());
        QCOMPARE(song->toolTip(), QString("Für: Elise"));
        QCOMPARE(bench.widget<QLabel>("labelStagePart")->text(), QString("part 2 of 2"));
        QCOMPARE(bench.widget<QLabel>("labelStageNext")->text(), QString("next: Last One"));
        QVERIFY(song->font().pointSize() >= 2 * bench.presetButton(0)->font().pointSize());
        const auto marked = [&] {
            QList<int> buttons;
            for (int i = 0; i < 6; ++i) {
                const auto *mark = bench.presetButton(i)->findChild<SetlistMark *>();
                if (mark && mark->isVisible())
                    buttons << i + 1;
            }
            return buttons;
        };
        QCOMPARE(marked(), QList<int>{6});
        QTest::keyClick(bench.widget<QPushButton>("pushSetting"), Qt::Key_PageDown);
        QCOMPARE(marked(), QList<int>{4});
        QCOMPARE(bench.widget<QLabel>("labelStageNext")->text(), QString("last song"));
        link(bench.window(), 2); // the unit's own choice does not move the mark
        QCOMPARE(marked(), QList<int>{4});
    }

    // The window (F2) adds a song and saves over the file on stage, which
    // stays at the song being played though it moved down; Return on a row
    // jumps there; closing with unsaved changes asks, and Cancel keeps the
    // window, Discard drops them.
    void editor()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("gig.txt");
        QVERIFY(QFile::copy(gig.fileName(), path));
        QVariantMap stored = setting("3 2");
        stored["SetlistFile"] = path;
        WindowBench bench(stored, true, new UnitPair);
        link(bench.window(), 3);
        ModalAnswerer answerer;
        bool keptOpen = false;
        const auto answerBox = [&](QMessageBox::StandardButton button) {
            answerer.answerNext([button](QWidget *box) {
                static_cast<QMessageBox *>(box)->button(button)->click();
            });
        };
        answerer.answerNext([&](QWidget *window) {
            const auto push = [window](const char *name) {
                window->findChild<QPushButton *>(name)->click();
            };
            auto *list = window->findChild<QListWidget *>("listSongs");
            list->setCurrentRow(0);
            answerer.answerNext([](QWidget *input) {
                static_cast<QInputDialog *>(input)->setTextValue("Encore: 1 6");
                static_cast<QInputDialog *>(input)->accept();
            });
            push("pushAddSong");
            push("pushSaveSetlist");
            QCOMPARE(bench.widget<QLabel>("labelStageSong")->toolTip(), QString("Last One"));
            list->setCurrentRow(0);
            QTest::keyClick(list, Qt::Key_Return);
            push("pushRemoveSong");
            answerBox(QMessageBox::Cancel);
            push("pushCloseSetlist");
            keptOpen = window->isVisible();
            answerBox(QMessageBox::Discard);
            push("pushCloseSetlist");
        });
        bench.window().activateWindow(); // F2 is the window's shortcut
        QVERIFY(QTest::qWaitForWindowActive(&bench.window()));
        QTest::keyClick(bench.widget<QPushButton>("pushSetting"), Qt::Key_F2);
        QVERIFY2(answerer.waitForSeen(4), qPrintable(answerer.seen().join(" | ")));
        QVERIFY(keptOpen);
        QCOMPARE(
            Setlist::load(path)->serialise(),
            QByteArray("# Friday\nOpener: 1\nEncore: 1 6\nFür: Elise: 2 6\nLast One: 4 4 3\n"));
        QCOMPARE(bench.log().lines("Setlist: "),
                 QStringList{"Setlist: song 1/4 \"Opener\" part 1/1 -> preset 1"});
        QCOMPARE(WindowBench::read(AppSetting::settingFilePath())["SetlistPosition"].toString(),
                 QString("1 1"));
    }

private:
    QVariantMap setting(const QString &position) const
    {
        return {
            {"SetlistFile", gig.fileName()}, {"SetlistPosition", position}, {"Preset2", "Clean"}};
    }

    QTemporaryFile gig;
};

QTEST_MAIN(TestStage)
#include "tst_stage.moc"
