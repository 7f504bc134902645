#ifndef PEER_H
#define PEER_H

#include "simulateddevice.h"

#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>

#include <vector>

// A MIDI device for tests: the simulator's SimulatedDevice on the suite's
// MIDI service, recording what it receives and perhaps playing the unit or
// the pad controller, emptied in the test's event loop (nested ones too).
// Made and used on the test's GUI thread.
class Peer : public QObject
{
    Q_OBJECT
public:
    enum Role
    {
        Raw,
        Unit,
        Pads
    };

    // Ports "NAME In:NAME-in" and "NAME Out:NAME-out" on the suite's service
    // (ALSA lists them with numbers: "NAME In:NAME-in 129:0"; on JACK a NAME
    // "twin 24:0" makes "twin-in 24:0"). Throws RtMidiError without a service.
    explicit Peer(const QString &name, Role role = Raw);
    ~Peer() override;

    // As the program's port lists show them now.
    QString in() const { return QString::fromStdString(device.in()); }   // for an output
    QString out() const { return QString::fromStdString(device.out()); } // for an input

    // Sends once our output's connection carries MIDI (see JackProbe::settle).
    void send(const ByteVector &bytes);

    // What arrived since the last clear, in order.
    const std::vector<ByteVector> &received();
    bool waitFor(int count, int timeoutMs = 5000);
    void clear() { device.clear(); }

    SimulatedUnit &unit() { return device.unit; }
    SimulatedPads &pads() { return device.pads; }

    // The device is switched off (its ports go) and on again.
    void unplug() { device.unplug(); }
    void plug();

    static const ByteVector serial;

private:
    void take();

    SimulatedDevice device;
    QSocketNotifier wake;
    QTimer lateReply;
    bool settled = false;
};

#endif
