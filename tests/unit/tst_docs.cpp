// What ships beside the programs: each program's --help and its manual page
// name the same options, and the changelog and the metainfo list the same
// releases, the newest being the build's version. Main thread.
#include "programrun.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace {

QString sourceFile(const QString &path)
{
    QFile file(QStringLiteral(TARNAPP_SOURCE_DIR "/") + path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The option names of one synopsis ("-h, --help", "--api alsa|jack").
QStringList optionNames(const QString &synopsis)
{
    static const QRegularExpression name(QStringLiteral("(?:^|[\\s,\"])(--?[A-Za-z][\\w-]*)"));
    QStringList names;
    for (auto match = name.globalMatch(synopsis); match.hasNext();)
        names << match.next().captured(1);
    return names;
}

// The first column of the help's "Options:" section, up to the next heading.
QStringList helpOptions(const QStringList &lines)
{
    QStringList names;
    bool inOptions = false;
    for (const QString &line : lines) {
        if (!inOptions) {
            inOptions = line.startsWith(QLatin1String("Options:"));
            continue;
        }
        if (!line.isEmpty() && !line.startsWith(' '))
            break;
        const QString synopsis = line.trimmed().section(QStringLiteral("  "), 0, 0);
        if (synopsis.startsWith('-'))
            names << optionNames(synopsis);
    }
    names.sort();
    return names;
}

// The tags of the page's OPTIONS section: the line after each ".TP".
QStringList pageOptions(const QString &page)
{
    const QStringList lines =
        QString(page).replace(QLatin1String("\\-"), QLatin1String("-")).split('\n');
    QStringList names;
    bool inOptions = false;
    for (int at = 0; at + 1 < lines.size(); ++at) {
        if (lines[at].startsWith(QLatin1String(".SH")))
            inOptions = lines[at] == QLatin1String(".SH OPTIONS");
        else if (inOptions && lines[at] == QLatin1String(".TP"))
            names << optionNames(lines[at + 1]);
    }
    names.sort();
    return names;
}

QStringList releases(const QString &text, const QString &pattern)
{
    QStringList found;
    for (auto match =
             QRegularExpression(pattern, QRegularExpression::MultilineOption).globalMatch(text);
         match.hasNext();) {
        const auto release = match.next();
        found << release.captured(1) + ' ' + release.captured(2);
    }
    return found;
}

} // namespace

class TestDocs : public QObject
{
    Q_OBJECT
private slots:
    // Catches an option added to a program and missing from its manual page,
    // or one the page still describes after the program dropped it.
    void manPageOptions_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("page");
        QTest::newRow("TarnApp") << TARNAPP_EXECUTABLE << "data/man/TarnApp.1";
        QTest::newRow("tarnapp-unitsim") << TARNAPP_UNITSIM << "data/man/tarnapp-unitsim.1";
    }
    void manPageOptions()
    {
        QFETCH(QString, program);
        QFETCH(QString, page);
        ProgramRun run(program, {"--help"});
        run.start();
        QCOMPARE(run.finish(), 0);
        const QStringList fromHelp = helpOptions(run.lines());
        QVERIFY(fromHelp.contains("--help"));
        QCOMPARE(pageOptions(sourceFile(page)), fromHelp);
    }

    // Catches a release listed in the changelog and not in the metainfo (or
    // with another date), and a version raised without a changelog entry.
    void releasesAgree()
    {
        const QStringList changelog =
            releases(sourceFile("CHANGELOG.md"), R"(^## (\S+) — (\d{4}-\d\d-\d\d)$)");
        const QStringList metainfo =
            releases(sourceFile("data/io.github.tarnapp.TarnApp.metainfo.xml"),
                     R"x(<release version="([^"]+)" date="([^"]+)")x");
        QVERIFY(!changelog.isEmpty());
        QCOMPARE(changelog, metainfo);
        const QString newest = changelog.first().section(' ', 0, 0);
        const QString version = QStringLiteral(TARNAPP_VERSION);
        QVERIFY2(version == newest || version.startsWith(newest + '.'), qPrintable(version));
    }
};

QTEST_GUILESS_MAIN(TestDocs)
#include "tst_docs.moc"
