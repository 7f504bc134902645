#include "benchprogram.h"

#include "benchpeer.h"

#include <QProcess>
#include <QSettings>

#include <cstdio>

namespace BenchProgram {

void writeSettings(const QString &workDir, const BenchPeer &unit, const BenchPeer *pads)
{
    QSettings file(workDir + "/config/TarnApp/TarnAppSetting.ini", QSettings::IniFormat);
    file.setValue("HardwareMidiInPort", QString::fromStdString(unit.outputPortName()));
    file.setValue("HardwareMidiOutPort", QString::fromStdString(unit.inputPortName()));
    if (pads) {
        file.setValue("RemoteMidiInPort", QString::fromStdString(pads->outputPortName()));
        file.setValue("RemoteMidiOutPort", QString::fromStdString(pads->inputPortName()));
    }
    file.sync();
}

bool start(QProcess &process, const QString &program, const QString &workDir, bool timing)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", workDir + "/config");
    if (timing)
        environment.insert("TARNAPP_TIMING", "1");
    if (!environment.contains("QT_QPA_PLATFORM"))
        environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(workDir + "/stderr.log", QIODevice::Truncate);
    process.setProgram(program);
    process.start();
    if (process.waitForStarted(5000))
        return true;
    std::fprintf(stderr, "bench: cannot start %s\n", qPrintable(program));
    return false;
}

} // namespace BenchProgram
