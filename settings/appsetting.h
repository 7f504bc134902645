#ifndef APPSETTING_H
#define APPSETTING_H

#include "presets.h"
#include "remotebindings.h"

#include <QString>

#include <vector>

// What the user configures: the four port names, the unit's serial number,
// the six preset names, the foot-switch choice, the arrangement and the remote
// controller's bindings, with the INI setting file that keeps them. GUI thread.
class AppSetting
{
public:
    AppSetting() = default;

    void loadSettingFile(const QString &path);
    void saveSettingFile(const QString &path) const;

    // The program's two files in the per-user configuration folder: this
    // record's, and the main window's state.
    static QString settingFilePath();
    static QString windowStateFilePath();

    QString hardwareMidiInPort() const { return HardwareMidiInPort; }
    QString hardwareMidiOutPort() const { return HardwareMidiOutPort; }
    QString remoteMidiInPort() const { return RemoteMidiInPort; }
    QString remoteMidiOutPort() const { return RemoteMidiOutPort; }
    std::vector<unsigned char> serialNumber() const { return SerialNumber; }
    // index 0 to 5 for Preset1 to Preset6
    QString presetName(int index) const;
    int footSwitchIndex() const { return FootSwitchIndex; }
    int dispType() const { return DispType; }
    const RemoteBindings &remoteBindings() const { return Remote; }
    // The setlist on stage and where in it ("song part", 1-based); empty for none.
    QString setlistFile() const { return SetlistFile; }
    QString setlistPosition() const { return SetlistPosition; }
    // Milliseconds the unit has to answer a request; 0 for no confirmation.
    int confirmTimeout() const { return ConfirmTimeout; }
    // Seconds between checks of an idle unit; 0 for none.
    int linkCheckSeconds() const { return LinkCheckSeconds; }

    void setHardwareMidiInPort(const QString &name) { HardwareMidiInPort = name; }
    void setHardwareMidiOutPort(const QString &name) { HardwareMidiOutPort = name; }
    void setRemoteMidiInPort(const QString &name) { RemoteMidiInPort = name; }
    void setRemoteMidiOutPort(const QString &name) { RemoteMidiOutPort = name; }
    void setSerialNumber(const std::vector<unsigned char> &serial);
    // A serial number learnt from the unit: stored, and saved to the setting file at once.
    void keepSerialNumber(const std::vector<unsigned char> &serial);
    void setPresetName(int index, const QString &name);
    void setFootSwitchIndex(int index) { FootSwitchIndex = index; }
    void setDispType(int type) { DispType = type; }
    void setRemoteBindings(const RemoteBindings &bindings) { Remote = bindings; }
    void setSetlist(const QString &file, const QString &position)
    {
        SetlistFile = file;
        SetlistPosition = position;
    }
    // Writes only the setlist's two keys, leaving the file's others as they are.
    void saveSetlistPlace(const QString &path) const;
    void setLinkCheckSeconds(int seconds) { LinkCheckSeconds = seconds; }

    static constexpr int defaultConfirmTimeout = 300;

private:
    QString HardwareMidiInPort;
    QString HardwareMidiOutPort;
    QString RemoteMidiInPort;
    QString RemoteMidiOutPort;
    std::vector<unsigned char> SerialNumber;
    QString Preset[PresetCount];
    int FootSwitchIndex = 0;
    int DispType = 0;
    RemoteBindings Remote = RemoteBindings::defaults();
    QString SetlistFile;
    QString SetlistPosition;
    int ConfirmTimeout = defaultConfirmTimeout;
    int LinkCheckSeconds = 0;
};

#endif
