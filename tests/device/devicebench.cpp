#include "devicebench.h"

#include "hardsettingdialog.h"
#include "qmidiout.h"
#include "tarnappmainwindow.h"
#include "testwait.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

#include <cstdio>

const DeviceBench::Bytes DeviceBench::serial{0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F, 0x60, 0x71};

DeviceBench::DeviceBench()
    : m_oldConfigHome(qgetenv("XDG_CONFIG_HOME")),
      m_hadConfigHome(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
{
    qputenv("XDG_CONFIG_HOME", m_configHome.path().toUtf8());
    m_unit = std::make_unique<MidiPeer>(QStringLiteral("devc-unit"));
    m_pads = std::make_unique<MidiPeer>(QStringLiteral("devc-pads"));
    m_setting["HardwareMidiInPort"] = m_unit->outputPortName();
    m_setting["HardwareMidiOutPort"] = m_unit->inputPortName();
    m_setting["RemoteMidiInPort"] = m_pads->outputPortName();
    m_setting["RemoteMidiOutPort"] = m_pads->inputPortName();
}

DeviceBench::~DeviceBench()
{
    // The window closes its ports before the peers go, and writes its state
    // file while the folder still exists.
    m_window.reset();
    m_unit.reset();
    m_pads.reset();
    if (m_hadConfigHome)
        qputenv("XDG_CONFIG_HOME", m_oldConfigHome);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

bool DeviceBench::hasSetting(const QString &key) const
{
    return m_setting.value(key).isValid();
}

void DeviceBench::clearPortSettings()
{
    for (const char *key :
         {"HardwareMidiInPort", "HardwareMidiOutPort", "RemoteMidiInPort", "RemoteMidiOutPort"})
        m_setting.remove(key);
}

QString DeviceBench::configFolder() const
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

QString DeviceBench::settingFilePath() const
{
    return configFolder() + "/TarnAppSetting.ini";
}

QByteArray DeviceBench::settingFileText() const
{
    QFile file(settingFilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QVariant DeviceBench::storedValue(const QString &key) const
{
    return QSettings(settingFilePath(), QSettings::IniFormat).value(key);
}

QStringList DeviceBench::trafficLog() const
{
    QStringList lines;
    for (const QString &line : m_log.lines()) {
        if (line.startsWith("Send   : ") || line.startsWith("Rcv    : "))
            lines << line;
    }
    return lines;
}

TarnAppMainWindow &DeviceBench::start()
{
    QDir().mkpath(configFolder());
    {
        QSettings file(settingFilePath(), QSettings::IniFormat);
        for (auto it = m_setting.cbegin(); it != m_setting.cend(); ++it) {
            if (it.value().isValid())
                file.setValue(it.key(), it.value());
        }
        file.sync();
    }
    m_window = std::make_unique<TarnAppMainWindow>();
    m_window->initialize();
    m_window->show();

    // The program's ports are open now; a peer waits until its connection
    // has settled before it sends or counts on receiving.
    if (hasSetting("HardwareMidiInPort") && hasSetting("HardwareMidiOutPort"))
        m_unit->waitForInputConnection();
    if (hasSetting("RemoteMidiInPort") && hasSetting("RemoteMidiOutPort"))
        m_pads->waitForInputConnection();
    return *m_window;
}

bool DeviceBench::awaitSerialRequest(int before)
{
    const auto arrived = [&] { return m_unit->waitForMessages(before + 1, 1000); };
    if (arrived())
        return true;
    // JACK may drop what the program sends in the cycle in which its new
    // connection takes effect, and the program sends the serial request right
    // after opening the port. Ask again, over the settled connection, as the
    // program's own operation would.
    if (m_window->linkStatus() != TarnAppMainWindow::WaitSerial)
        return false;
    ++m_droppedRequests;
    fprintf(stderr, "DeviceBench: the serial request sent right after the ports opened was lost "
                    "on its new JACK connection; requesting again\n");
    m_window->requestSerial();
    m_window->updateStatusDisplay();
    return arrived();
}

bool DeviceBench::completeLink(unsigned char presetByte)
{
    const int padsBefore = m_pads->receivedCount();
    if (!awaitSerialRequest() || !m_unit->send(statusReply(serial, presetByte)))
        return false;
    const bool remoteOpen = m_window->remoteOut()->isPortOpen();
    return TestWait::until([&] {
        return m_window->linkStatus() == TarnAppMainWindow::Complete &&
               m_unit->receivedCount() >= 2 &&
               (!remoteOpen || m_pads->receivedCount() >= padsBefore + 6);
    });
}

QWidget *DeviceBench::settingDialogWidget() const
{
    return m_window ? m_window->settingDialog() : nullptr;
}

DeviceBench::Bytes DeviceBench::reply(const Bytes &serial, const Bytes &tail)
{
    Bytes bytes{0xF0};
    bytes.insert(bytes.end(), serial.begin(), serial.end());
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
}

DeviceBench::Bytes DeviceBench::statusReply(const Bytes &serial, unsigned char presetByte)
{
    return reply(serial, {0x01, presetByte, 0xF7});
}

DeviceBench::Bytes DeviceBench::serialRequest()
{
    return {0xF0, 0x00, 0x11, 0x22, 0x0A, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0xF7};
}

DeviceBench::Bytes DeviceBench::initStatusRequest(const Bytes &serial)
{
    return reply(serial, {0x02, 0x01, 0xF7});
}

DeviceBench::Bytes DeviceBench::presetRequest(const Bytes &serial, unsigned char index)
{
    return reply(serial, {0x02, 0x06, index, 0x07, 0xF7});
}

std::vector<DeviceBench::Bytes> DeviceBench::feedback(int activeIndex)
{
    std::vector<Bytes> notes;
    for (int i = 0; i < 6; ++i)
        notes.push_back({0x90, static_cast<unsigned char>(0x36 + i),
                         static_cast<unsigned char>(i == activeIndex ? 0x7F : 0x00)});
    return notes;
}

QString DeviceBench::hex(const Bytes &bytes)
{
    QStringList parts;
    for (unsigned char byte : bytes)
        parts << QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
    return parts.join(' ');
}

QString DeviceBench::buttonStyle(const QString &color)
{
    return " QPushButton:hover {background-color:#ADD8E6;}  QPushButton:pressed "
           "{background-color:#1E90ff;}  QPushButton {background-color:" +
           color + ";border-style: solid;border-radius: 10;color: #ffffff;} ";
}

QString DeviceBench::lampStyle(const QString &color)
{
    return "background-color:" + color + ";border-style: solid;border-radius: 10;";
}

QString DeviceBench::textStyle(const QString &color)
{
    return "color:" + color + ";";
}
