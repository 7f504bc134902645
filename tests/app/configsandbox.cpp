#include "configsandbox.h"

#include "appsetting.h"
#include "tarnappmainwindow.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

ConfigSandbox::ConfigSandbox()
    : m_previous(qgetenv("XDG_CONFIG_HOME")),
      m_hadPrevious(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
{
    qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
}

ConfigSandbox::~ConfigSandbox()
{
    if (m_hadPrevious)
        qputenv("XDG_CONFIG_HOME", m_previous);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

void ConfigSandbox::writeIni(const QString &path, const QVariantMap &values)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSettings file(path, QSettings::IniFormat);
    for (auto it = values.begin(); it != values.end(); ++it)
        file.setValue(it.key(), it.value());
    file.sync();
}

void ConfigSandbox::writePorts(const QString &hardIn, const QString &hardOut,
                               const QString &remoteIn, const QString &remoteOut)
{
    AppSetting file;
    file.setHardwareMidiInPort(hardIn);
    file.setHardwareMidiOutPort(hardOut);
    file.setRemoteMidiInPort(remoteIn);
    file.setRemoteMidiOutPort(remoteOut);
    file.saveSettingFile(TarnAppMainWindow::settingFilePath());
}

QVariantMap ConfigSandbox::readIni(const QString &path)
{
    QVariantMap values;
    QSettings file(path, QSettings::IniFormat);
    for (const QString &key : file.allKeys())
        values.insert(key, file.value(key).toString());
    return values;
}
