#include "remotepads.h"

#include "hardwarelink.h"
#include "portpair.h"
#include "qmidiin.h"
#include "qmidimessage.h"
#include "qmidiout.h"
#include "remoteprotocol.h"

#include <RtMidi.h>

using namespace RemoteProtocol;

RemotePads::RemotePads(HardwareLink *link, QObject *parent)
    : QObject(parent), link(link), remotePorts(new PortPair("remote", this))
{
    for (int i = 0; i < PadCount; ++i)
        triggers.push_back({FirstPadNote + i, PadVelocity, i});
    triggers.push_back({FootSwitchNote, FootSwitchVelocity, FootSwitch});
    connect(remotePorts->in(), SIGNAL(midiMessageReceived(QMidiMessage *)), this,
            SLOT(onMidiRemoteReceive(QMidiMessage *)));
    connect(link, &HardwareLink::presetReported, this, &RemotePads::showPreset);
}

void RemotePads::onMidiRemoteReceive(QMidiMessage *message)
{
    if (!message || (message->status() != NoteOn && message->status() != NoteOff))
        return;
    // A Note Off is MIDI's Note On at velocity 0; bridges (PipeWire, a2jmidid)
    // turn the foot switch's one into the other.
    const int velocity = message->status() == NoteOff ? 0 : message->velocity();
    for (const Trigger &trigger : triggers) {
        if (trigger.note != message->pitch() || trigger.velocity != velocity)
            continue;
        if (trigger.preset != FootSwitch) {
            // Pads act only while the buttons could be clicked.
            if (link->takesPresets())
                link->selectPreset(trigger.preset);
            return;
        }
        // The foot switch follows the settings as they stand now, saved or
        // not, and does not depend on the link state.
        const int preset = footSwitchPreset ? footSwitchPreset() : -1;
        if (preset >= 0)
            link->selectPreset(preset);
        return;
    }
}

void RemotePads::showPreset(int preset)
{
    if (!remotePorts->out()->isPortOpen())
        return;
    const quint64 reply = link->replyCount();
    for (int i = 0; i < PadCount; ++i) {
        sendMidiRemote(i, i == preset);
        // A failed note's box may have let a newer report through.
        if (link->replyCount() != reply)
            return;
    }
}

void RemotePads::relight()
{
    if (link->hardStatus() == HardwareLink::HardStatus::Complete && link->currentPreset() >= -1)
        showPreset(link->currentPreset());
}

void RemotePads::sendMidiRemote(int index, bool on)
{
    try {
        QMidiMessage midiMessage;
        midiMessage.setStatus(NoteOn);
        midiMessage.setVelocity(on ? LampOn : LampOff);
        midiMessage.setPitch(triggers.at(static_cast<size_t>(index)).note);
        remotePorts->out()->sendMessage(&midiMessage);
    } catch (const RtMidiError &error) {
        emit sendFailed(QString::fromStdString(error.getMessage()));
    }
}
