#ifndef CONTROLLERLINK_H
#define CONTROLLERLINK_H

#include "remotebindings.h"
#include "remotematcher.h"

#include <QObject>

class HardwareLink;
class PortPair;
class QMidiMessage;

// The remote controller over its port pair: its messages become preset
// choices on the link by the bindings, and its lamps show the preset the unit
// reports. GUI thread; MIDI input reaches it through the input's queued signal.
class ControllerLink : public QObject
{
    Q_OBJECT
public:
    ControllerLink(HardwareLink *link, QObject *parent = nullptr);

    PortPair *ports() const { return remotePorts; }

    const RemoteBindings &bindings() const { return current; }
    // New bindings darken the lamps that are no longer bound and light the new ones.
    void setBindings(const RemoteBindings &bindings);

    // The lamps of a freshly opened pair show what the unit last reported.
    void relight();

public slots:
    void onMidiRemoteReceive(QMidiMessage *message);
    // What the foot switch chooses; negative for none.
    void setFootSwitchPreset(int preset) { footSwitchPreset = preset; }
    // While on, every message but a release goes to learnt() and does not
    // act, nor does its release.
    void setLearning(bool on) { learning = on; }
    // One lamp per bound preset, lit for the preset given; while the output is open.
    void showPreset(int preset);

signals:
    // Connected directly: a box shown for it runs its loop inside the send.
    void sendFailed(const QString &text);
    // A bound setlist action, and MIDI Song Select nn (0 to 127): the setlist's.
    void setlistStep(RemoteAction action);
    void songSelected(int number);
    // A message taken while learning.
    void learnt(const ByteVector &message);

private:
    void act(RemoteAction action);
    void sendMidiRemote(ByteVector message);

    HardwareLink *link;
    PortPair *remotePorts;
    RemoteBindings current = RemoteBindings::defaults();
    RemoteMatcher matcher;
    unsigned int opening = 0; // of the input, for the messages the matcher last saw
    int footSwitchPreset = -1;
    bool learning = false;
};

#endif
