#include "appsetting.h"

#include "hardmessages.h"

#include <QSettings>
#include <QStandardPaths>

namespace {

QString presetKey(int index)
{
    return QStringLiteral("Preset%1").arg(index + 1);
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
    return index >= 0 && index < presetCount ? Preset[index] : QString();
}

void AppSetting::setPresetName(int index, const QString &name)
{
    if (index >= 0 && index < presetCount)
        Preset[index] = name;
}

void AppSetting::setSerialNumber(const std::vector<unsigned char> &serial)
{
    SerialNumber.clear();
    SerialNumber.insert(SerialNumber.end(), serial.begin(), serial.end());
}

void AppSetting::loadSettingFile(const QString &path)
{
    QSettings file(path, QSettings::IniFormat);
    // Every field is overwritten: a missing key resets it. SerialNumber is
    // never read back; each connection learns it from the unit.
    HardwareMidiInPort = file.value("HardwareMidiInPort").toString();
    HardwareMidiOutPort = file.value("HardwareMidiOutPort").toString();
    RemoteMidiInPort = file.value("RemoteMidiInPort").toString();
    RemoteMidiOutPort = file.value("RemoteMidiOutPort").toString();
    for (int i = 0; i < presetCount; ++i)
        Preset[i] = file.value(presetKey(i)).toString();
    FootSwitchIndex = file.value("FootSwitchIndex").toInt();
    DispType = file.value("DispType").toInt();
}

void AppSetting::saveSettingFile(const QString &path) const
{
    QSettings file(path, QSettings::IniFormat);
    file.setValue("HardwareMidiInPort", HardwareMidiInPort);
    file.setValue("HardwareMidiOutPort", HardwareMidiOutPort);
    file.setValue("RemoteMidiInPort", RemoteMidiInPort);
    file.setValue("RemoteMidiOutPort", RemoteMidiOutPort);
    file.setValue("SerialNumber", toHexString(SerialNumber, QLatin1Char('-')));
    for (int i = 0; i < presetCount; ++i)
        file.setValue(presetKey(i), Preset[i]);
    file.setValue("FootSwitchIndex", FootSwitchIndex);
    file.setValue("DispType", DispType);
    file.sync();
}
