// Installs the build tree into a temporary DESTDIR, as a package build does,
// and checks that every file lands where the program and the desktop look for
// it, and that the desktop entry and the metainfo pass their validators.
// Runs on the test's main thread.

#include <QtTest>

namespace {

const QString appId = "io.github.tarnapp.TarnApp";

// Runs a tool to its end (bounded); its exit code, or -1 when it did not run
// or end. Both its output streams go to output.
int runTool(const QString &program, const QStringList &arguments, QString *output,
            const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForStarted(10000))
        return -1;
    const bool finished = process.waitForFinished(60000);
    *output = QString::fromUtf8(process.readAll());
    if (!finished) {
        process.kill();
        process.waitForFinished(2000);
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// Width and height from a PNG file's header, or (0, 0).
QSize pngSize(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(24);
    if (head.size() < 24 || !head.startsWith("\x89PNG\r\n\x1a\n") || head.mid(12, 4) != "IHDR")
        return {};
    auto bigEndian = [&](int at) {
        return (quint8(head[at]) << 24) | (quint8(head[at + 1]) << 16) |
               (quint8(head[at + 2]) << 8) | quint8(head[at + 3]);
    };
    return QSize(int(bigEndian(16)), int(bigEndian(20)));
}

// The value of key in a desktop entry's lines.
QString desktopValue(const QStringList &lines, const QString &key)
{
    for (const QString &line : lines) {
        if (line.startsWith(key + "="))
            return line.mid(key.size() + 1);
    }
    return {};
}

} // namespace

// The test cases; main thread.
class TestE2eInstall : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void filesAreInPlace();
    void iconsHaveTheirFoldersSizes();
    void desktopEntryAndMetainfoPointAtInstalledFiles();
    void desktopEntryValidates();
    void metainfoValidates();

private:
    // The path under the temporary DESTDIR of a file installed at path.
    QString installed(const QString &path) const { return m_destDir.path() + path; }
    QString desktopFile() const
    {
        return installed(TARNAPP_INSTALL_DATADIR "/applications/" + appId + ".desktop");
    }
    QString metainfoFile() const
    {
        return installed(TARNAPP_INSTALL_DATADIR "/metainfo/" + appId + ".metainfo.xml");
    }

    QTemporaryDir m_destDir;
};

void TestE2eInstall::initTestCase()
{
    QVERIFY(m_destDir.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DESTDIR", m_destDir.path());
    QString output;
    const int code =
        runTool(TARNAPP_CMAKE_COMMAND, {"--install", TARNAPP_BUILD_DIR}, &output, environment);
    QVERIFY2(code == 0, qPrintable("cmake --install failed:\n" + output));
}

void TestE2eInstall::filesAreInPlace()
{
    const QFileInfo program(installed(TARNAPP_INSTALL_BINDIR "/TarnApp"));
    QVERIFY2(program.isFile() && program.isExecutable(), qPrintable(program.filePath()));
    // The About logo goes where the built program looks for it.
    QVERIFY(QFileInfo(installed(TARNAPP_DATADIR "/TarnApp_LogoAbout_128x128.png")).isFile());
    QVERIFY(QFileInfo(desktopFile()).isFile());
    QVERIFY(QFileInfo(metainfoFile()).isFile());
    QVERIFY(QFileInfo(
                installed(TARNAPP_INSTALL_DATADIR "/icons/hicolor/scalable/apps/" + appId + ".svg"))
                .isFile());
}

void TestE2eInstall::iconsHaveTheirFoldersSizes()
{
    for (int size : {48, 64, 128, 256}) {
        const QString path = installed(
            QStringLiteral(TARNAPP_INSTALL_DATADIR "/icons/hicolor/%1x%1/apps/").arg(size) + appId +
            ".png");
        QCOMPARE(pngSize(path), QSize(size, size));
    }
    QCOMPARE(pngSize(installed(TARNAPP_DATADIR "/TarnApp_LogoAbout_128x128.png")), QSize(128, 128));
}

void TestE2eInstall::desktopEntryAndMetainfoPointAtInstalledFiles()
{
    QFile desktop(desktopFile());
    QVERIFY(desktop.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(desktop.readAll()).split('\n');

    // Exec names the installed program (found on PATH), Icon the installed icons.
    const QString command = desktopValue(lines, "Exec").section(' ', 0, 0);
    QCOMPARE(command, QString("TarnApp"));
    QVERIFY(QFileInfo(installed(TARNAPP_INSTALL_BINDIR "/" + command)).isExecutable());
    QCOMPARE(desktopValue(lines, "Icon"), appId);

    // The metainfo's launchable is this desktop file, its binary the program.
    QFile metainfo(metainfoFile());
    QVERIFY(metainfo.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&metainfo);
    QString id, launchable, binary;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("id"))
            id = xml.readElementText();
        else if (xml.name() == QLatin1String("launchable"))
            launchable = xml.readElementText();
        else if (xml.name() == QLatin1String("binary"))
            binary = xml.readElementText();
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(id, appId);
    QCOMPARE(launchable, QFileInfo(desktopFile()).fileName());
    QCOMPARE(binary, command);
}

void TestE2eInstall::desktopEntryValidates()
{
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    if (validator.isEmpty())
        QSKIP("desktop-file-validate is missing (Debian package desktop-file-utils; "
              "tools/setup.sh installs it)");
    QString output;
    QVERIFY2(runTool(validator, {desktopFile()}, &output) == 0, qPrintable(output));
}

void TestE2eInstall::metainfoValidates()
{
    const QString validator = QStandardPaths::findExecutable("appstreamcli");
    if (validator.isEmpty())
        QSKIP("appstreamcli is missing (Debian package appstream; tools/setup.sh installs it)");
    QString output;
    QVERIFY2(runTool(validator, {"validate", "--no-net", metainfoFile()}, &output) == 0,
             qPrintable(output));
}

QTEST_GUILESS_MAIN(TestE2eInstall)
#include "tst_e2einstall.moc"
