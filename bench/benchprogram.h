#ifndef BENCHPROGRAM_H
#define BENCHPROGRAM_H

#include <QString>

class BenchPeer;
class QProcess;

// The real program as the benchmarks start it: a configuration folder of its
// own under a work folder, ports set to the stand-in devices, offscreen unless
// QT_QPA_PLATFORM says otherwise, its debug output in the work folder's
// stderr.log. Benchmark main thread.
namespace BenchProgram {

// Writes the setting file: the unit's ports, and the pads' where given.
void writeSettings(const QString &workDir, const BenchPeer &unit, const BenchPeer *pads);
// Starts the program; timing asks it for its own time per message.
bool start(QProcess &process, const QString &program, const QString &workDir, bool timing);

} // namespace BenchProgram

#endif
