#include "soaksettings.h"

#include "benchpeer.h"

#include <QSettings>
#include <RtMidi.h>

#include <cstdio>

namespace {

// ALSA lists a port with its client and port numbers behind the name.
std::string numbered(RtMidi &lister, const std::string &name)
{
    for (unsigned int i = 0; i < lister.getPortCount(); ++i) {
        const std::string port = lister.getPortName(i);
        if (port.compare(0, name.size() + 1, name + " ") == 0)
            return port;
    }
    return name;
}

// As the program's port lists show a port: an input is listed by outputs.
QString listed(const std::string &name, bool input)
{
    if (!BenchPeer::onAlsa())
        return QString::fromStdString(name);
    if (input) {
        RtMidiOut lister(RtMidi::LINUX_ALSA, "soak-lister");
        return QString::fromStdString(numbered(lister, name));
    }
    RtMidiIn lister(RtMidi::LINUX_ALSA, "soak-lister");
    return QString::fromStdString(numbered(lister, name));
}

} // namespace

SoakSettings::SoakSettings(const QString &configHome)
    : m_path(configHome + "/TarnApp/TarnAppSetting.ini")
{
}

void SoakSettings::write(const std::string &unitOut, const std::string &unitIn,
                         const std::string &padsOut, const std::string &padsIn,
                         int footSwitchIndex) const
{
    QSettings file(m_path, QSettings::IniFormat);
    file.setValue("HardwareMidiInPort", listed(unitOut, false));
    file.setValue("HardwareMidiOutPort", listed(unitIn, true));
    file.setValue("RemoteMidiInPort", listed(padsOut, false));
    file.setValue("RemoteMidiOutPort", listed(padsIn, true));
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

std::map<QString, QString> SoakSettings::read() const
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

bool SoakSettings::same(const std::map<QString, QString> &before,
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
