#include "soakprogram.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

std::string logPath(const QString &workDir, const char *name)
{
    return (workDir + "/" + name).toStdString();
}

} // namespace

SoakProgram::SoakProgram(const QString &program, const QString &workDir)
    : unitGone(logPath(workDir, "stderr.log"), "Ports  : hardware gone"),
      padsGone(logPath(workDir, "stderr.log"), "Ports  : remote gone"),
      notesIn(logPath(workDir, "stdout.log"), "Byte 0 = 144, "),
      sysexIn(logPath(workDir, "stdout.log"), "Byte 0 = 240, "),
      sysexOut(logPath(workDir, "stderr.log"), "send message 240"),
      notesOut(logPath(workDir, "stderr.log"), "send message 144"),
      requestsOut(logPath(workDir, "stderr.log"), "Timing : 90 1 "),
      lampsOut(logPath(workDir, "stderr.log"), "Timing : F0 6 "),
      presetRepeats(logPath(workDir, "stderr.log"), "Link   : no answer to preset"),
      requestRepeats(logPath(workDir, "stderr.log"), "Link   : no answer to the "),
      m_program(program), m_workDir(workDir)
{
}

SoakProgram::~SoakProgram()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

bool SoakProgram::start(const QString &display)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", m_workDir + "/config");
    if (!display.isEmpty()) {
        environment.insert("DISPLAY", display);
        environment.insert("QT_QPA_PLATFORM", "xcb");
    } else if (!environment.contains("QT_QPA_PLATFORM")) {
        environment.insert("QT_QPA_PLATFORM", "offscreen");
    }
    // What the program received (its input callback prints every message)
    // and what it sent for it (its own timing lines) tell where a loss was.
    environment.insert("TARNAPP_TIMING", "1");
    m_process.setProcessEnvironment(environment);
    m_process.setStandardOutputFile(m_workDir + "/stdout.log", QIODevice::Truncate);
    m_process.setStandardErrorFile(m_workDir + "/stderr.log", QIODevice::Truncate);
    m_process.setProgram(m_program);
    m_process.start();
    if (!m_process.waitForStarted(5000)) {
        std::fprintf(stderr, "soak: cannot start %s\n", qPrintable(m_program));
        return false;
    }
    return true;
}

bool SoakProgram::stop()
{
    m_process.terminate();
    if (!m_process.waitForFinished(10000)) {
        std::fprintf(stderr, "soak: the program did not end within 10 s of SIGTERM\n");
        return false;
    }
    if (m_process.exitStatus() != QProcess::NormalExit || m_process.exitCode() != 0) {
        std::fprintf(stderr, "soak: the program ended with code %d\n", m_process.exitCode());
        return false;
    }
    return true;
}

bool SoakProgram::alive() const
{
    // A zombie has ended: QProcess notices only when the event loop runs.
    std::ifstream status("/proc/" + std::to_string(m_process.processId()) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, 6, "State:") == 0)
            return line.find('Z') == std::string::npos;
    }
    return false;
}
