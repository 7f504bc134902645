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

    QString hardwareMidiInPort() const { return hardwareIn; }
    QString hardwareMidiOutPort() const { return hardwareOut; }
    QString remoteMidiInPort() const { return remoteIn; }
    QString remoteMidiOutPort() const { return remoteOut; }
    std::vector<unsigned char> serialNumber() const { return unitSerial; }
    // index 0 to 5 for Preset1 to Preset6
    QString presetName(int index) const;
    int footSwitchIndex() const { return footSwitch; }
    int dispType() const { return display; }
    const RemoteBindings &remoteBindings() const { return remote; }
    // The setlist on stage and where in it ("song part", 1-based); empty for none.
    QString setlistFile() const { return setlist; }
    QString setlistPosition() const { return setlistPlace; }
    // Milliseconds the unit has to answer a request; 0 for no confirmation.
    int confirmTimeout() const { return confirmMs; }
    // Seconds between checks of an idle unit; 0 for none.
    int linkCheckSeconds() const { return checkSeconds; }

    void setHardwareMidiInPort(const QString &name) { hardwareIn = name; }
    void setHardwareMidiOutPort(const QString &name) { hardwareOut = name; }
    void setRemoteMidiInPort(const QString &name) { remoteIn = name; }
    void setRemoteMidiOutPort(const QString &name) { remoteOut = name; }
    void setSerialNumber(const std::vector<unsigned char> &serial);
    // What the settings dialog edits (ports, preset names, foot switch,
    // arrangement, bindings), taken from its copy.
    void takeChoices(const AppSetting &chosen);
    // A record read from a file, all but the serial number learnt meanwhile.
    void takeOpened(const AppSetting &opened);
    // A serial number learnt from the unit: stored, and saved to the setting file at once.
    void keepSerialNumber(const std::vector<unsigned char> &serial);
    void setPresetName(int index, const QString &name);
    void setFootSwitchIndex(int index) { footSwitch = index; }
    void setDispType(int type) { display = type; }
    void setRemoteBindings(const RemoteBindings &bindings) { remote = bindings; }
    void setSetlist(const QString &file, const QString &position)
    {
        setlist = file;
        setlistPlace = position;
    }
    // Writes only the setlist's two keys, leaving the file's others as they are.
    void saveSetlistPlace(const QString &path) const;
    void setLinkCheckSeconds(int seconds) { checkSeconds = seconds; }

    static constexpr int defaultConfirmTimeout = 300;

private:
    QString hardwareIn;
    QString hardwareOut;
    QString remoteIn;
    QString remoteOut;
    std::vector<unsigned char> unitSerial;
    QString presetNames[PresetCount];
    int footSwitch = 0;
    int display = 0;
    RemoteBindings remote = RemoteBindings::defaults();
    QString setlist;
    QString setlistPlace;
    int confirmMs = defaultConfirmTimeout;
    int checkSeconds = 0;
};

#endif
