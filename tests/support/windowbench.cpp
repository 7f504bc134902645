#include "windowbench.h"

#include "peer.h"
#include "tarnappmainwindow.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <utility>

WindowBench::WindowBench(const QVariantMap &setting, bool startNow, PortPair *hardPorts)
    : previousHome(qgetenv("XDG_CONFIG_HOME")), setting(setting), hardPorts(hardPorts)
{
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    if (startNow)
        start();
}

WindowBench::~WindowBench()
{
    // The window writes its state and closes its ports before the folder goes.
    program.reset();
    qputenv("XDG_CONFIG_HOME", previousHome);
}

QVariantMap WindowBench::ports(const Peer *unit, const Peer *pads)
{
    QVariantMap keys;
    if (unit) {
        keys["HardwareMidiInPort"] = unit->out();
        keys["HardwareMidiOutPort"] = unit->in();
    }
    if (pads) {
        keys["RemoteMidiInPort"] = pads->out();
        keys["RemoteMidiOutPort"] = pads->in();
    }
    return keys;
}

void WindowBench::start()
{
    if (!setting.isEmpty())
        write(AppSetting::settingFilePath(), setting);
    program = std::make_unique<TarnAppMainWindow>(nullptr, std::exchange(hardPorts, nullptr));
    program->initialize();
    program->show();
}

void WindowBench::finish()
{
    program.reset();
}

QStringList WindowBench::traffic() const
{
    QStringList lines;
    for (const QString &line : debug.lines())
        if (line.startsWith("Send   : ") || line.startsWith("Rcv    : "))
            lines << line;
    return lines;
}

QVariantMap WindowBench::read(const QString &path)
{
    QVariantMap values;
    QSettings file(path, QSettings::IniFormat);
    for (const QString &key : file.allKeys())
        values.insert(key, file.value(key).toString());
    return values;
}

void WindowBench::write(const QString &path, const QVariantMap &values)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSettings file(path, QSettings::IniFormat);
    for (auto it = values.begin(); it != values.end(); ++it)
        file.setValue(it.key(), it.value());
}
