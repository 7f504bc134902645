#include "appsetting.h"

#include "hardmessages.h"

#include <QSettings>
#include <QStandardPaths>
#include <QtDebug>

namespace {

QString presetKey(int index)
{
    return QStringLiteral("Preset%1").arg(index + 1);
}

QString remoteKey(int index)
{
    if (index < PresetCount)
        return QStringLiteral("RemotePreset%1").arg(index + 1);
    const char *keys[] = {"RemotePrevious",    "RemoteNext",         "RemoteFootSwitch",
                          "RemoteNextPart",    "RemotePreviousPart", "RemoteNextSong",
                          "RemotePreviousSong"};
    return QLatin1String(keys[index - PresetCount]);
}

// A missing key, or one that holds no binding, gives the action's default.
RemoteBindings readBindings(const QSettings &file)
{
    RemoteBindings bindings = RemoteBindings::defaults();
    for (int i = 0; i < RemoteBindings::actionCount; ++i) {
        if (!file.contains(remoteKey(i)))
            continue;
        // Commas make a list and "@Type(...)" another type: neither is a binding.
        const QVariant value = file.value(remoteKey(i));
        const auto binding = value.userType() == QMetaType::QString
                                 ? RemoteBinding::fromText(value.toString())
                                 : std::nullopt;
        if (binding)
            bindings.set(RemoteBindings::action(i), *binding);
        else
            qDebug("Setting: %s holds no binding (\"%s\"); its default is used",
                   qPrintable(remoteKey(i)), qPrintable(value.toStringList().join(',')));
    }
    return bindings;
}

// A whole number within [low, high] (or 0, which turns the feature off); any
// other value gives the default, said once on the debug output.
int readNumber(const QSettings &file, const char *key, int low, int high, int fallback)
{
    if (!file.contains(key))
        return fallback;
    const QVariant value = file.value(key);
    bool number = false;
    const int read = value.toString().trimmed().toInt(&number);
    if (number && (read == 0 || (read >= low && read <= high)))
        return read;
    qDebug("Setting: %s holds no usable value (\"%s\"); %d is used", key,
           qPrintable(value.toStringList().join(',')), fallback);
    return fallback;
}

QString configFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

} // namespace

QString AppSetting::settingFilePath()
{
    return configFolder() + "/TarnAppSetting.ini";
}

QString AppSetting::windowStateFilePath()
{
    return configFolder() + "/DispStatus.ini";
}

QString AppSetting::presetName(int index) const
{
    return index >= 0 && index < PresetCount ? presetNames[index] : QString();
}

void AppSetting::setPresetName(int index, const QString &name)
{
    if (index >= 0 && index < PresetCount)
        presetNames[index] = name;
}

void AppSetting::setSerialNumber(const std::vector<unsigned char> &serial)
{
    unitSerial.clear();
    unitSerial.insert(unitSerial.end(), serial.begin(), serial.end());
}

void AppSetting::loadSettingFile(const QString &path)
{
    QSettings file(path, QSettings::IniFormat);
    // Every field is overwritten: a missing key resets it. SerialNumber is
    // never read back; each connection learns it from the unit.
    hardwareIn = file.value("HardwareMidiInPort").toString();
    hardwareOut = file.value("HardwareMidiOutPort").toString();
    remoteIn = file.value("RemoteMidiInPort").toString();
    remoteOut = file.value("RemoteMidiOutPort").toString();
    for (int i = 0; i < PresetCount; ++i)
        presetNames[i] = file.value(presetKey(i)).toString();
    footSwitch = file.value("FootSwitchIndex").toInt();
    display = file.value("DispType").toInt();
    remote = readBindings(file);
    setlist = file.value("SetlistFile").toString();
    setlistPlace = file.value("SetlistPosition").toString();
    confirmMs = readNumber(file, "ConfirmTimeout", 20, 5000, defaultConfirmTimeout);
    checkSeconds = readNumber(file, "LinkCheckSeconds", 1, 3600, 0);
}

void AppSetting::saveSettingFile(const QString &path) const
{
    QSettings file(path, QSettings::IniFormat);
    file.setValue("HardwareMidiInPort", hardwareIn);
    file.setValue("HardwareMidiOutPort", hardwareOut);
    file.setValue("RemoteMidiInPort", remoteIn);
    file.setValue("RemoteMidiOutPort", remoteOut);
    file.setValue("SerialNumber", toHexString(unitSerial, QLatin1Char('-')));
    for (int i = 0; i < PresetCount; ++i)
        file.setValue(presetKey(i), presetNames[i]);
    file.setValue("FootSwitchIndex", footSwitch);
    file.setValue("DispType", display);
    for (int i = 0; i < RemoteBindings::actionCount; ++i)
        file.setValue(remoteKey(i), remote.at(RemoteBindings::action(i)).toText());
    file.setValue("SetlistFile", setlist);
    file.setValue("SetlistPosition", setlistPlace);
    file.setValue("ConfirmTimeout", confirmMs);
    file.setValue("LinkCheckSeconds", checkSeconds);
    file.sync();
}

void AppSetting::saveSetlistPlace(const QString &path) const
{
    QSettings file(path, QSettings::IniFormat);
    file.setValue("SetlistFile", setlist);
    file.setValue("SetlistPosition", setlistPlace);
    file.sync();
}

void AppSetting::keepSerialNumber(const std::vector<unsigned char> &serial)
{
    setSerialNumber(serial);
    saveSettingFile(settingFilePath());
}

void AppSetting::takeChoices(const AppSetting &chosen)
{
    hardwareIn = chosen.hardwareIn;
    hardwareOut = chosen.hardwareOut;
    remoteIn = chosen.remoteIn;
    remoteOut = chosen.remoteOut;
    for (int i = 0; i < PresetCount; ++i)
        presetNames[i] = chosen.presetNames[i];
    footSwitch = chosen.footSwitch;
    display = chosen.display;
    checkSeconds = chosen.checkSeconds;
    remote = chosen.remote;
}

void AppSetting::takeOpened(const AppSetting &opened)
{
    const std::vector<unsigned char> serial = unitSerial;
    *this = opened;
    unitSerial = serial;
}
