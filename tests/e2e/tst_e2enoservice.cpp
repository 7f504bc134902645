// The real TarnApp process started where no MIDI service runs at all: it must
// come up, run its event loop and end cleanly. Runs on the test's main thread.

#include "tarnapprun.h"

#include <QtTest>

#include <csignal>

// The test cases; main thread.
class TestE2eNoService : public QObject
{
    Q_OBJECT

private slots:
    void startsAndEndsWithoutMidiService();
};

void TestE2eNoService::startsAndEndsWithoutMidiService()
{
    TarnAppRun app;
    // A JACK server name that nothing runs under, and no ALSA sequencer on
    // this machine; libjack must not start a server of its own either.
    app.setEnvironment("JACK_DEFAULT_SERVER",
                       QStringLiteral("e2e-absent-%1").arg(QCoreApplication::applicationPid()));
    app.setEnvironment("JACK_NO_START_SERVER", "1");
    // Ports are configured, so the start-up tries to open them.
    app.writeSettings("unit:out", "unit:in", "pads:out", "pads:in");
    QVERIFY(app.start());

    // Once it handles SIGTERM, a SIGTERM can end it only through its event
    // loop: ending cleanly proves the start-up finished and the window ran.
    QVERIFY(app.waitUntilCatching(SIGTERM));
    QVERIFY2(app.terminate(10000), "no clean end within 10 s of SIGTERM");
    QCOMPARE(app.exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.exitCode(), 0);

    // The window was laid out with its default geometry, and nothing was sent.
    const QStringList state = TarnAppRun::fileLines(app.windowStateFilePath());
    for (const char *line : {"Width=1100", "Height=400", "X=200", "Y=200"})
        QVERIFY2(state.contains(line), qPrintable(state.join(" | ")));
    QCOMPARE(app.errorLinesStartingWith({"Send   : ", "send message"}), QStringList());
    // The setting file is left as it was: no serial number was learnt.
    QCOMPARE(TarnAppRun::fileLines(app.settingFilePath()).filter("SerialNumber"), QStringList());
}

QTEST_GUILESS_MAIN(TestE2eNoService)
#include "tst_e2enoservice.moc"
