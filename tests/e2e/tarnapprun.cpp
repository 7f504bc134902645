#include "tarnapprun.h"

#include <QFile>
#include <QSettings>

TarnAppRun::TarnAppRun() : WatchedProcess(QStringLiteral(TARNAPP_EXECUTABLE))
{
    setEnvironment("XDG_CONFIG_HOME", m_configHome.path());
    setEnvironment("QT_QPA_PLATFORM", "offscreen");
}

TarnAppRun::~TarnAppRun()
{
    stop();
}

QString TarnAppRun::settingFilePath() const
{
    // The program sets no application name: its folder is named after the executable.
    return m_configHome.path() + "/TarnApp/TarnAppSetting.ini";
}

QString TarnAppRun::windowStateFilePath() const
{
    return m_configHome.path() + "/TarnApp/DispStatus.ini";
}

void TarnAppRun::writeSettings(const QString &hardwareIn, const QString &hardwareOut,
                               const QString &remoteIn, const QString &remoteOut,
                               const QVariantMap &more)
{
    QSettings file(settingFilePath(), QSettings::IniFormat);
    file.setValue("HardwareMidiInPort", hardwareIn);
    file.setValue("HardwareMidiOutPort", hardwareOut);
    file.setValue("RemoteMidiInPort", remoteIn);
    file.setValue("RemoteMidiOutPort", remoteOut);
    for (auto it = more.begin(); it != more.end(); ++it)
        file.setValue(it.key(), it.value());
    file.sync();
}

QStringList TarnAppRun::fileLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}
