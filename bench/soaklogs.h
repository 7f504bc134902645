#ifndef SOAKLOGS_H
#define SOAKLOGS_H

#include "linecounter.h"
#include "programrun.h"

// The lines the TarnApp process under the soak writes, counted as they come
// (see ProgramRun::logToFiles). Benchmark main thread.
struct SoakLogs
{
    explicit SoakLogs(const ProgramRun &run)
        : unitGone(run.logPath("stderr.log"), "Ports  : hardware gone"),
          padsGone(run.logPath("stderr.log"), "Ports  : remote gone"),
          notesIn(run.logPath("stdout.log"), "Byte 0 = 144, "),
          sysexIn(run.logPath("stdout.log"), "Byte 0 = 240, "),
          sysexOut(run.logPath("stderr.log"), "send message 240"),
          notesOut(run.logPath("stderr.log"), "send message 144"),
          requestsOut(run.logPath("stderr.log"), "Timing : 90 1 "),
          lampsOut(run.logPath("stderr.log"), "Timing : F0 6 "),
          presetRepeats(run.logPath("stderr.log"), "Link   : no answer to preset"),
          requestRepeats(run.logPath("stderr.log"), "Link   : no answer to the ")
    {
    }

    // Lines of its standard error: a device gone.
    LineCounter unitGone, padsGone;
    // Its input callback's lines on standard output (pad notes, SysEx from
    // the unit), its SysEx and note sends, and its timing lines (preset
    // requests, sixth lamp notes).
    LineCounter notesIn, sysexIn, sysexOut, notesOut, requestsOut, lampsOut;
    // Requests it asked again for want of an answer: preset requests, and
    // serial or status requests (one line per episode).
    LineCounter presetRepeats, requestRepeats;
};

#endif
