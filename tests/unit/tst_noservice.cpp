// TarnApp where no MIDI service runs at all: it must start, show that no
// port is set, and end cleanly. Main thread.

#include "programrun.h"
#include "windowbench.h"

#include <QtTest>

class TestNoService : public QObject
{
    Q_OBJECT

private slots:
    void startsAndEnds();
};

void TestNoService::startsAndEnds()
{
    ProgramRun app(TARNAPP_EXECUTABLE);
    WindowBench::write(app.configFolder() + "/TarnAppSetting.ini",
                       {{"HardwareMidiInPort", "unit:out"}, {"HardwareMidiOutPort", "unit:in"}});
    app.start();
    QCOMPARE(app.terminate(), 0);
    QVERIFY(QFile::exists(app.configFolder() + "/DispStatus.ini"));
}

QTEST_GUILESS_MAIN(TestNoService)
#include "tst_noservice.moc"
