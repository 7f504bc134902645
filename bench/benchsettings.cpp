#include "benchsettings.h"

#include "programrun.h"
#include "simulateddevice.h"

#include <QSettings>

#include <cstdio>

BenchSettings::BenchSettings(const QString &configHome)
    : m_path(configHome + "/TarnApp/TarnAppSetting.ini")
{
}

MidiPortPair::Names BenchSettings::names(const std::string &device, bool soak)
{
    return {"tarn-soak", device + " In", device + " Out", device + "-in", device + "-out", !soak};
}

std::unique_ptr<ProgramRun> BenchSettings::program(const QString &path, const SimulatedDevice &unit,
                                                   const SimulatedDevice *pads, bool timing,
                                                   const QString &display)
{
    auto run = std::make_unique<ProgramRun>(path);
    run->logToFiles();
    if (timing)
        run->setEnvironment("TARNAPP_TIMING", "1");
    if (!display.isEmpty()) {
        run->setEnvironment("DISPLAY", display);
        run->setEnvironment("QT_QPA_PLATFORM", "xcb");
    } else if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        run->setEnvironment("QT_QPA_PLATFORM", qEnvironmentVariable("QT_QPA_PLATFORM"));
    }
    BenchSettings(run->folder()).writePorts(unit, pads);
    return run;
}

void BenchSettings::writePorts(const SimulatedDevice &unit, const SimulatedDevice *pads) const
{
    QSettings file(m_path, QSettings::IniFormat);
    file.setValue("HardwareMidiInPort", QString::fromStdString(unit.out()));
    file.setValue("HardwareMidiOutPort", QString::fromStdString(unit.in()));
    if (pads) {
        file.setValue("RemoteMidiInPort", QString::fromStdString(pads->out()));
        file.setValue("RemoteMidiOutPort", QString::fromStdString(pads->in()));
    }
}

void BenchSettings::writeStage(int footSwitchIndex) const
{
    QSettings file(m_path, QSettings::IniFormat);
    // Names with the characters a stage's labels have: commas, signs, accents.
    const char *names[] = {"Clean intro",     "Verse, warm",  "Chorus + delay",
                           "Solo \u00e9clat", "Bridge / dry", "Outro 2"};
    for (int i = 0; i < 6; ++i)
        file.setValue(QString("Preset%1").arg(i + 1), QString::fromUtf8(names[i]));
    // The dialog's list starts with "none".
    file.setValue("FootSwitchIndex", footSwitchIndex + 1);
    file.setValue("DispType", 1);
    file.sync();
}

std::map<QString, QString> BenchSettings::read() const
{
    // The serial is the unit's, learned anew at each connection.
    QSettings file(m_path, QSettings::IniFormat);
    std::map<QString, QString> values;
    for (const QString &key : file.allKeys()) {
        if (key != "SerialNumber")
            values[key] = file.value(key).toString();
    }
    return values;
}

bool BenchSettings::same(const std::map<QString, QString> &before,
                         const std::map<QString, QString> &after)
{
    std::map<QString, QString> keys = before;
    keys.insert(after.begin(), after.end());
    bool same = true;
    for (const auto &key : keys) {
        const auto was = before.find(key.first);
        const auto is = after.find(key.first);
        const QString wasText = was == before.end() ? QString("(none)") : was->second;
        const QString isText = is == after.end() ? QString("(none)") : is->second;
        if (wasText == isText)
            continue;
        // A key the user's file did not have is the program's default, written
        // out; shown, but the user's own values are what must stay.
        const bool added = was == before.end();
        std::printf("settings: %s was \"%s\", is \"%s\"%s\n", qPrintable(key.first),
                    qPrintable(wasText), qPrintable(isText), added ? " (added)" : "");
        same = same && added;
    }
    return same;
}
