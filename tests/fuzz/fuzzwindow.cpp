#include "fuzzwindow.h"

#include "appsetting.h"
#include "hardsettingdialog.h"
#include "jackmidiclient.h"
#include "qmidiin.h"
#include "qmidiout.h"
#include "tarnappmainwindow.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <RtMidi.h>

#include <cstdio>
#include <vector>

namespace {

void swallow(double, std::vector<unsigned char> *, void *) {}

} // namespace

FuzzWindow::FuzzWindow()
{
    AppSetting setting;
    if (openSink()) {
        setting.setHardwareMidiInPort(m_sinkOutName);
        setting.setHardwareMidiOutPort(m_sinkInName);
        setting.setRemoteMidiInPort(m_sinkOutName);
        setting.setRemoteMidiOutPort(m_sinkInName);
    }
    const QString path = TarnAppMainWindow::settingFilePath();
    QDir().mkpath(QFileInfo(path).path());
    setting.saveSettingFile(path);

    m_window = std::make_unique<TarnAppMainWindow>();
    m_window->initialize();
    m_portsOpen = m_window->hardIn()->isPortOpen() && m_window->hardOut()->isPortOpen() &&
                  m_window->remoteIn()->isPortOpen() && m_window->remoteOut()->isPortOpen();
    std::fprintf(stderr, "FuzzWindow: the window's ports are %s\n",
                 m_portsOpen ? "open" : "closed (no JACK server; the link stays without ports)");
}

FuzzWindow::~FuzzWindow() = default;

bool FuzzWindow::openSink()
{
    if (!JackMidiClient::shared("tarnfuzz"))
        return false;
    // Two clients: JACK would rename the second of two clients of one name.
    const std::string client = "tarnfuzz-" + std::to_string(QCoreApplication::applicationPid());
    m_sinkIn = std::make_unique<RtMidiIn>(RtMidi::UNIX_JACK, client + "-in");
    m_sinkIn->setCallback(&swallow, nullptr);
    m_sinkIn->ignoreTypes(false, false, false);
    m_sinkIn->openVirtualPort("in");
    m_sinkOut = std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, client + "-out");
    m_sinkOut->openVirtualPort("out");
    m_sinkInName = QString::fromStdString(client + "-in:in");
    m_sinkOutName = QString::fromStdString(client + "-out:out");
    return true;
}

void FuzzWindow::reconnect()
{
    m_window->requestSerial();
    m_window->updateStatusDisplay();
}

void FuzzWindow::setFootSwitchPosition(int position)
{
    auto *list = m_window->settingDialog()->findChild<QComboBox *>("comboFootSwitchPreset");
    if (list)
        list->setCurrentIndex(position);
}
