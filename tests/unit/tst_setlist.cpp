// The setlist file as a musician writes it in any editor, and stepping
// through it as pedals do. Main thread.

#include "setlist.h"

#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using Position = Setlist::Position;

class TestSetlist : public QObject
{
    Q_OBJECT

private slots:
    // Catches splitting at the first colon, tabs or runs of blanks taken for
    // parts, names kept with their blanks, and UTF-8 read as Latin-1.
    void goodLine_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVector<int>>("parts");
        QTest::newRow("plain") << QByteArray("Wonderwall: 2 4 2") << "Wonderwall"
                               << QVector<int>{2, 4, 2};
        QTest::newRow("colons in the name")
            << QByteArray("Intro: Part 2: 1 6") << "Intro: Part 2" << QVector<int>{1, 6};
        QTest::newRow("a time in the name")
            << QByteArray("Live at 20:30:5") << "Live at 20:30" << QVector<int>{5};
        QTest::newRow("blanks and tabs")
            << QByteArray("  Hey Jude \t:  3\t\t5  \r") << "Hey Jude" << QVector<int>{3, 5};
        QTest::newRow("non-ASCII") << QByteArray("Für Elise — Ünd 🎸: 1")
                                   << QString::fromUtf8("Für Elise — Ünd 🎸") << QVector<int>{1};
    }
    void goodLine()
    {
        QFETCH(QByteArray, line);
        const auto setlist = Setlist::parse("# Gig\n\n" + line + "\n");
        QVERIFY(setlist);
        QCOMPARE(setlist->songCount(), 1);
        QTEST(setlist->songs()[0].name, "name");
        QTEST(setlist->songs()[0].parts, "parts");
    }

    // One bad line refuses the whole file, named by its number and text.
    void badLine_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("missing colon") << QByteArray("Wonderwall 2 4 2");
        QTest::newRow("empty parts") << QByteArray("Wonderwall:");
        QTest::newRow("blank parts") << QByteArray("Wonderwall:   ");
        QTest::newRow("a time last") << QByteArray("Starts at 20:30");
        QTest::newRow("preset 7") << QByteArray("Song: 2 7");
        QTest::newRow("preset 0") << QByteArray("Song: 0 1");
        QTest::newRow("12 for 1 2") << QByteArray("Song: 12");
        QTest::newRow("commas") << QByteArray("Song: 1,2");
        QTest::newRow("words") << QByteArray("Song: two");
        QTest::newRow("no name") << QByteArray("  : 2");
        QTest::newRow("Latin-1") << QByteArray("Caf\xE9: 2");
        QTest::newRow("UTF-8 cut short") << QByteArray("Caf\xC3: 2");
        QTest::newRow("overlong UTF-8") << QByteArray("\xC0\xAF: 2");
        QTest::newRow("UTF-16 surrogate") << QByteArray("A\xED\xA0\x80: 2");
    }
    void badLine()
    {
        QFETCH(QByteArray, line);
        Setlist::Problem problem;
        QVERIFY(!Setlist::parse("# Gig\nFirst: 1\n" + line + "\nLast: 2\n", &problem));
        QCOMPARE(problem.line, 3);
        QCOMPARE(problem.text, QString::fromUtf8(line));
        QVERIFY(!problem.reason.isEmpty());
        QVERIFY(problem.describe("/g.txt").startsWith("/g.txt line 3: " + problem.text + " ("));
    }

    // The first "#" line is the title, later ones and blank lines are
    // nothing; a mark at the start and CR LF line ends are an editor's; what
    // is written reads back the same, however odd its names.
    void fileText()
    {
        const auto read = Setlist::parse("\xEF\xBB\xBF\r\n#  Friday \r\n# notes\r\nA: 1\r\n"
                                         "  # B: 2\r\n\r\nC: D: 3 4");
        QVERIFY(read);
        QCOMPARE(read->title(), QString("Friday"));
        QCOMPARE(read->songCount(), 2);
        QCOMPARE(read->songs()[1].name, QString("C: D"));
        QVERIFY(Setlist::parse("")->isEmpty());
        // The example shipped for the manual.
        Setlist::Problem problem;
        const auto example = Setlist::load(EXAMPLE_SETLIST, &problem);
        QVERIFY2(example, qPrintable(problem.describe(EXAMPLE_SETLIST)));
        QCOMPARE(example->title(), QString("Friday at the Harbour Bar"));

        Setlist odd;
        odd.setTitle("Café: 100%1");
        odd.songs() << Setlist::Song{"Time: 20:30", {6}} << Setlist::Song{"Ünd #2 %1", {1, 2}};
        QCOMPARE(Setlist::parse(odd.serialise()), std::optional<Setlist>(odd));
        // Names the file would read as something else are turned away.
        for (const char *name : {"#1 hit", " Lead", "Two\nlines", ""})
            QVERIFY2(!Setlist::nameProblem(name).isEmpty(), name);
        QVERIFY(Setlist::nameProblem("No. #1: yes").isEmpty());
    }

    // A file that cannot be read says why; a save that cannot finish leaves
    // the old file whole.
    void files()
    {
        QTemporaryDir dir;
        Setlist::Problem problem;
        QVERIFY(!Setlist::load(dir.filePath("none.txt"), &problem));
        QCOMPARE(problem.line, 0);
        QCOMPARE(problem.describe("none.txt"), QString("none.txt: No such file or directory"));

        const QString path = dir.filePath("gig.txt");
        Setlist setlist;
        setlist.songs() << Setlist::Song{"A", {1}};
        QVERIFY(setlist.save(path));
        QCOMPARE(Setlist::load(path), std::optional<Setlist>(setlist));
        const auto writable = [&](bool on) {
            QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner |
                                                  (on ? QFile::WriteOwner : QFile::ReadOwner));
            if (geteuid() == 0)
                QProcess::execute("chattr", {on ? "-i" : "+i", dir.path()});
        };
        writable(false);
        Setlist longer = setlist;
        longer.songs() << Setlist::Song{"B", {2}};
        QString error;
        const bool saved = longer.save(path, &error);
        writable(true);
        QVERIFY(!saved && !error.isEmpty());
        QCOMPARE(Setlist::load(path), std::optional<Setlist>(setlist));
    }

    // Every end of "A: 1 2 / B: 3 / C: 4 5 6": parts cross songs, songs go to
    // part 1, nothing wraps around, Song Select past the end is nothing.
    void stepping_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<QPoint>("from"); // song, part; zero-based
        QTest::addColumn<QPoint>("to");   // (-1, -1): no step
        const QPoint none(-1, -1);
        QTest::newRow("next part") << "next part" << QPoint(0, 0) << QPoint(0, 1);
        QTest::newRow("next part, into B") << "next part" << QPoint(0, 1) << QPoint(1, 0);
        QTest::newRow("next part, past B") << "next part" << QPoint(1, 0) << QPoint(2, 0);
        QTest::newRow("next part at the end") << "next part" << QPoint(2, 2) << none;
        QTest::newRow("previous part") << "previous part" << QPoint(2, 2) << QPoint(2, 1);
        QTest::newRow("previous part, into B") << "previous part" << QPoint(2, 0) << QPoint(1, 0);
        QTest::newRow("previous part, A's last") << "previous part" << QPoint(1, 0) << QPoint(0, 1);
        QTest::newRow("previous part at the start") << "previous part" << QPoint(0, 0) << none;
        QTest::newRow("next song from a part") << "next song" << QPoint(0, 1) << QPoint(1, 0);
        QTest::newRow("next song at the end") << "next song" << QPoint(2, 1) << none;
        QTest::newRow("previous song from a part")
            << "previous song" << QPoint(2, 2) << QPoint(1, 0);
        QTest::newRow("previous song at the start") << "previous song" << QPoint(0, 1) << none;
        QTest::newRow("Song Select 0") << "select 0" << QPoint(2, 2) << QPoint(0, 0);
        QTest::newRow("Song Select 2") << "select 2" << QPoint(0, 0) << QPoint(2, 0);
        QTest::newRow("Song Select past the end") << "select 3" << QPoint(0, 1) << none;
        QTest::newRow("Song Select 127") << "select 127" << QPoint(0, 1) << none;
    }
    void stepping()
    {
        QFETCH(QString, step);
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        const auto setlist = Setlist::parse("A: 1 2\nB: 3\nC: 4 5 6\n");
        const Position at{from.x(), from.y()};
        const std::optional<Position> got = step == "next part"       ? setlist->nextPart(at)
                                            : step == "previous part" ? setlist->previousPart(at)
                                            : step == "next song"     ? setlist->nextSong(at)
                                            : step == "previous song"
                                                ? setlist->previousSong(at)
                                                : setlist->songSelect(step.section(' ', 1).toInt());
        QCOMPARE(got ? QPoint(got->song, got->part) : QPoint(-1, -1), to);
    }

    // The setting file's "song part": 1-based, and nothing else.
    void positionText()
    {
        QCOMPARE(Setlist::positionText({2, 0}), QString("3 1"));
        QCOMPARE(Setlist::positionFromText(" 3  1 "), std::optional<Position>(Position{2, 0}));
        for (const char *text : {"0 1", "3", "3 1 1", "x 1", "-1 2"})
            QVERIFY2(!Setlist::positionFromText(text), text);
    }
};

QTEST_MAIN(TestSetlist)
#include "tst_setlist.moc"
