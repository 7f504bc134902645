#ifndef BENCHSETTINGS_H
#define BENCHSETTINGS_H

#include "midiportpair.h"

#include <QString>

#include <map>
#include <memory>
#include <string>

class ProgramRun;
class SimulatedDevice;

// The real program as the benchmark and the soak run it, and its settings
// file: the devices' ports (for the soak also preset names and the foot
// switch), read back to check that nothing but the serial number changed.
// Benchmark main thread.
class BenchSettings
{
public:
    explicit BenchSettings(const QString &configHome);

    // A device's ports "NAME In:NAME-in" and "NAME Out:NAME-out". On JACK
    // the benchmark's are RtMidi's clients, one per port, which the graph
    // runs before and after the program in each period; the soak's are ports
    // of its one client "tarn-soak", as the simulator's are.
    static MidiPortPair::Names names(const std::string &device, bool soak = false);
    // The program with its output in files, its timing lines on when asked,
    // offscreen unless QT_QPA_PLATFORM says otherwise or on a given X display,
    // its settings file naming the devices' ports; not started yet.
    static std::unique_ptr<ProgramRun> program(const QString &path, const SimulatedDevice &unit,
                                               const SimulatedDevice *pads, bool timing,
                                               const QString &display = {});

    void writePorts(const SimulatedDevice &unit, const SimulatedDevice *pads) const;
    // Preset names and the foot switch (footSwitchIndex is zero-based).
    void writeStage(int footSwitchIndex) const;
    // Every key but the serial number.
    std::map<QString, QString> read() const;
    // Prints each key that differs; true when every key of `before` keeps its
    // value (the program may add its defaults for keys the file lacked).
    static bool same(const std::map<QString, QString> &before,
                     const std::map<QString, QString> &after);

private:
    QString m_path;
};

#endif
