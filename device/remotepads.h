#ifndef REMOTEPADS_H
#define REMOTEPADS_H

#include <QObject>

#include <functional>
#include <vector>

class HardwareLink;
class PortPair;
class QMidiMessage;

// The pad controller over its port pair: its pads and foot switch become
// preset choices on the link, and its lamps show the preset the unit
// reports. GUI thread; MIDI input reaches it through the input's queued signal.
class RemotePads : public QObject
{
    Q_OBJECT
public:
    // A message of the controller (Note On, any channel) and the preset it
    // chooses: 0 to 5, or FootSwitch for the preset the settings give it.
    struct Trigger
    {
        int note;
        int velocity;
        int preset;
    };
    static constexpr int FootSwitch = -1;

    RemotePads(HardwareLink *link, QObject *parent = nullptr);

    PortPair *ports() const { return remotePorts; }
    // Asked at each press of the foot switch; negative for none.
    void setFootSwitchPreset(const std::function<int()> &source) { footSwitchPreset = source; }

    void sendMidiRemote(int index, bool on);
    // The lamps of a freshly opened pair show what the unit last reported.
    void relight();

public slots:
    void onMidiRemoteReceive(QMidiMessage *message);
    // One lamp note per pad, lit for the preset given; while the output is open.
    void showPreset(int preset);

signals:
    // Connected directly: a box shown for it runs its loop inside the send.
    void sendFailed(const QString &text);

private:
    HardwareLink *link;
    PortPair *remotePorts;
    // The pads in preset order, then the foot switch.
    std::vector<Trigger> triggers;
    std::function<int()> footSwitchPreset;
};

#endif
