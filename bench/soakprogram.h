#ifndef SOAKPROGRAM_H
#define SOAKPROGRAM_H

#include "linecounter.h"

#include <QProcess>

#include <memory>

// The TarnApp process under the soak: started with a settings folder of its
// own and its timing lines on, ended with SIGTERM, and read through the lines
// it writes. Benchmark main thread.
class SoakProgram
{
public:
    SoakProgram(const QString &program, const QString &workDir);
    ~SoakProgram();

    // On an X display when one is given (the settings dialog is then
    // reachable), else on Qt's offscreen platform.
    bool start(const QString &display);
    // SIGTERM; true when it ended cleanly with exit code 0.
    bool stop();
    bool alive() const;
    qint64 pid() const { return m_process.processId(); }

    // Lines of its standard error: a device gone.
    LineCounter unitGone, padsGone;
    // Its input callback's lines on standard output (pad notes, SysEx from
    // the unit), its SysEx and note sends, and its timing lines (preset
    // requests, sixth lamp notes).
    LineCounter notesIn, sysexIn, sysexOut, notesOut, requestsOut, lampsOut;
    // Requests it asked again for want of an answer: preset requests, and
    // serial or status requests (one line per episode).
    LineCounter presetRepeats, requestRepeats;

private:
    QString m_program, m_workDir;
    QProcess m_process;
};

#endif
