#include "portfollower.h"

#include "hardsettingdialog.h"
#include "midiportsupport.h"
#include "qmidiin.h"
#include "qmidiout.h"
#include "tarnappmainwindow.h"

PortFollower::PortFollower(TarnAppMainWindow *window) : QObject(window), window(window)
{
    connect(&watch, &MidiPortWatch::portsChanged, this, &PortFollower::recheck);
}

void PortFollower::start()
{
    watch.start();
}

void PortFollower::recheck()
{
    // Ports that the settings are being applied to (the error box's loop
    // included) are followed once that is done; see portsApplied.
    const HardSettingDialog *dialog = window->settingDialog();
    if (dialog && dialog->isApplying())
        return;
    if (checking) {
        checkAgain = true;
        return;
    }
    checking = true;
    do {
        checkAgain = false;
        // A server started since the last look is watched from now on.
        watch.start();
        const QSet<QString> vanished = watch.takeVanished();
        const AppSetting &setting = window->setting();
        const Change hardware =
            follow(window->hardIn(), window->hardOut(), setting.hardwareMidiInPort(),
                   setting.hardwareMidiOutPort(), true, vanished);
        const Change remote =
            follow(window->remoteIn(), window->remoteOut(), setting.remoteMidiInPort(),
                   setting.remoteMidiOutPort(), false, vanished);
        if (hardware != Change::None || remote != Change::None)
            window->updateStatusDisplay();
        // The pads show the active preset again at once, when the unit has told it.
        const int preset = window->reportedPreset();
        if (remote == Change::Opened && window->linkStatus() == TarnAppMainWindow::Complete &&
            preset >= -1) {
            for (int i = 0; i < AppSetting::presetCount; ++i)
                window->sendMidiRemote(i, i == preset);
        }
        if (HardSettingDialog *shown = window->settingDialog(); shown && shown->isVisible())
            shown->refreshPortLists(true);
    } while (checkAgain);
    checking = false;
}

PortFollower::Change PortFollower::follow(QMidiIn *in, QMidiOut *out, const QString &storedIn,
                                          const QString &storedOut, bool hardware,
                                          const QSet<QString> &vanished)
{
    const char *const role = hardware ? "hardware" : "remote";
    Change change = Change::None;
    const QStringList ins = in->portNames();
    const QStringList outs = out->portNames();
    if (in->isPortOpen() && out->isPortOpen()) {
        // Gone, or gone and back before this look: either way our connection went with it.
        const QString inName = in->openedPortName();
        const QString outName = out->openedPortName();
        if (ins.contains(inName) && outs.contains(outName) && !vanished.contains(inName) &&
            !vanished.contains(outName))
            return Change::None;
        in->closePort();
        out->closePort();
        qDebug("Ports  : %s gone", role);
        change = Change::Closed;
    }
    // Opened by the stored names only, as at start-up; never touches them.
    const QString inName = MidiPortSupport::presentName(ins, storedIn);
    const QString outName = MidiPortSupport::presentName(outs, storedOut);
    if (inName.isEmpty() || outName.isEmpty() || !available(inName) || !available(outName))
        return change;
    if (in->isPortOpen())
        in->closePort();
    if (out->isPortOpen())
        out->closePort();
    window->openPortPair(in, out, storedIn, storedOut, hardware);
    if (!in->isPortOpen() || !out->isPortOpen())
        return Change::Closed;
    qDebug("Ports  : %s back", role);
    return Change::Opened;
}

bool PortFollower::available(const QString &name) const
{
    // A listed port whose coming is not announced yet (a JACK client not yet
    // active, or the announcement on its way) is left until it is.
    return watch.isAnnounced(name) && !watch.isGone(name);
}
