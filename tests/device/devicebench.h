#ifndef DEVICEBENCH_H
#define DEVICEBENCH_H

#include "debugcapture.h"
#include "midipeer.h"

#include <QByteArray>
#include <QMap>
#include <QTemporaryDir>
#include <QVariant>
#include <QWidget>

#include <memory>
#include <vector>

class TarnAppMainWindow;

// One test case's world for device control: a configuration folder of its
// own (XDG_CONFIG_HOME points at it while the bench exists), the hardware
// unit and the pad controller played by MIDI peers on JACK, the debug lines
// captured, and the main window built and initialised against them. Built
// and used on the test's GUI thread.
class DeviceBench
{
public:
    using Bytes = MidiPeer::Bytes;

    DeviceBench();
    ~DeviceBench();
    DeviceBench(const DeviceBench &) = delete;
    DeviceBench &operator=(const DeviceBench &) = delete;

    MidiPeer &unit() { return *m_unit; }
    MidiPeer &pads() { return *m_pads; }
    DebugCapture &log() { return m_log; }

    // What start() writes to the setting file: by default the unit's and the
    // pads' ports; a key set to an invalid QVariant is left out.
    void setSetting(const QString &key, const QVariant &value) { m_setting[key] = value; }
    void clearPortSettings();
    bool hasSetting(const QString &key) const;

    // Writes the setting file, builds, initialises and shows the window, and
    // waits until the connections that the setting asks for have settled.
    TarnAppMainWindow &start();
    TarnAppMainWindow &window() { return *m_window; }

    // Waits until the unit has received message number before + 1, the serial
    // request; asks again once if JACK lost it (see droppedRequests()).
    bool awaitSerialRequest(int before = 0);
    // Serial requests that JACK lost on the program's new connection.
    int droppedRequests() const { return m_droppedRequests; }

    // The unit answers the serial request with a status reply for presetByte
    // (one-based, as the unit counts) and the bench waits until the link is
    // complete, the unit has the init status request and the pads have their
    // six feedback notes.
    bool completeLink(unsigned char presetByte);

    QString configFolder() const;
    QString settingFilePath() const;
    QByteArray settingFileText() const;
    QVariant storedValue(const QString &key) const;
    QStringList trafficLog() const; // the "Send   : " and "Rcv    : " lines

    // A settings dialog's widget, by object name.
    template <class Widget> Widget *dialogWidget(const char *name) const;

    static const Bytes serial;
    static Bytes statusReply(const Bytes &serial, unsigned char presetByte);
    static Bytes reply(const Bytes &serial, const Bytes &tail);
    static Bytes serialRequest();
    static Bytes initStatusRequest(const Bytes &serial);
    static Bytes presetRequest(const Bytes &serial, unsigned char index);
    static std::vector<Bytes> feedback(int activeIndex); // the six notes, -1: none active
    static QString hex(const Bytes &bytes);

    // The style sheets that the window gives its widgets.
    static QString buttonStyle(const QString &color);
    static QString lampStyle(const QString &color);
    static QString textStyle(const QString &color);

private:
    QWidget *settingDialogWidget() const;

    QByteArray m_oldConfigHome;
    bool m_hadConfigHome;
    QTemporaryDir m_configHome;
    DebugCapture m_log;
    std::unique_ptr<MidiPeer> m_unit;
    std::unique_ptr<MidiPeer> m_pads;
    QMap<QString, QVariant> m_setting;
    std::unique_ptr<TarnAppMainWindow> m_window;
    int m_droppedRequests = 0;
};

template <class Widget> Widget *DeviceBench::dialogWidget(const char *name) const
{
    QWidget *dialog = settingDialogWidget();
    return dialog ? dialog->findChild<Widget *>(QString::fromLatin1(name)) : nullptr;
}

#endif
