#include "controllerlink.h"

#include "hardwarelink.h"
#include "portpair.h"
#include "qmidiin.h"
#include "qmidimessage.h"
#include "qmidiout.h"

#include <RtMidi.h>

ControllerLink::ControllerLink(HardwareLink *link, QObject *parent)
    : QObject(parent), link(link), remotePorts(new PortPair("remote", this))
{
    connect(remotePorts->in(), SIGNAL(midiMessageReceived(QMidiMessage *)), this,
            SLOT(onMidiRemoteReceive(QMidiMessage *)));
    connect(link, &HardwareLink::presetReported, this, &ControllerLink::showPreset);
}

void ControllerLink::onMidiRemoteReceive(QMidiMessage *message)
{
    if (!message)
        return;
    // A new opening is a new connection: a pedal held or a note pressed on
    // the old one (a replug, a server restart) counts no more.
    if (message->opening() != 0 && message->opening() != opening) {
        opening = message->opening();
        matcher.reset();
    }
    const ByteVector bytes = message->rawMessage();
    // A release belongs to its press: it is neither learnt nor acted on.
    if (learning && !matcher.isRelease(bytes)) {
        emit learnt(bytes);
        matcher.see(bytes);
        return;
    }
    // Song Select is for the setlist, whatever the bindings say.
    if (bytes.size() >= 2 && bytes[0] == 0xF3 && bytes[1] < 0x80) {
        emit songSelected(bytes[1]);
        return;
    }
    if (const auto action = matcher.take(current, bytes))
        act(*action);
}

void ControllerLink::act(RemoteAction action)
{
    if (action == RemoteAction::FootSwitch) {
        // The foot switch follows the settings as they stand now, saved or
        // not (as it was last told), and does not depend on the link state.
        if (footSwitchPreset >= 0)
            link->selectPreset(footSwitchPreset);
        return;
    }
    if (RemoteBindings::stepsSetlist(action)) {
        emit setlistStep(action);
        return;
    }
    // Everything else acts only while the buttons could be clicked.
    if (!link->takesPresets())
        return;
    int preset = RemoteBindings::index(action);
    if (action == RemoteAction::Previous || action == RemoteAction::Next)
        preset = steppedPreset(link->currentPreset(), action == RemoteAction::Next ? 1 : -1);
    if (preset >= 0)
        link->selectPreset(preset);
}

void ControllerLink::setBindings(const RemoteBindings &bindings)
{
    if (bindings == current)
        return;
    const RemoteBindings old = current;
    current = bindings;
    if (!remotePorts->out()->isPortOpen())
        return;
    for (int i = 0; i < PresetCount; ++i) {
        const ByteVector dark = old.lamp(i, false);
        if (!dark.empty() && dark != current.lamp(i, false))
            sendMidiRemote(dark);
    }
    relight();
}

void ControllerLink::showPreset(int preset)
{
    if (!remotePorts->out()->isPortOpen())
        return;
    const quint64 reply = link->replyCount();
    for (int i = 0; i < PresetCount; ++i) {
        const ByteVector lamp = current.lamp(i, i == preset);
        if (lamp.empty())
            continue;
        sendMidiRemote(lamp);
        // A failed send's box may have let a newer report through.
        if (link->replyCount() != reply)
            return;
    }
}

void ControllerLink::relight()
{
    if (link->hardStatus() == HardwareLink::HardStatus::Complete && link->currentPreset() >= -1)
        showPreset(link->currentPreset());
}

void ControllerLink::sendMidiRemote(ByteVector message)
{
    try {
        // As a message object, so that each lamp note is logged like any other send.
        QMidiMessage midiMessage;
        midiMessage.decode(message, 0.0);
        remotePorts->out()->sendMessage(&midiMessage);
    } catch (const RtMidiError &error) {
        emit sendFailed(QString::fromStdString(error.getMessage()));
    }
}
