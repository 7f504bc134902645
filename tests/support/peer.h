#ifndef PEER_H
#define PEER_H

#include "messagequeue.h"
#include "midiportpair.h"
#include "simulatedpads.h"
#include "simulatedunit.h"

#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <memory>
#include <vector>

class JackMidiClient;
class JackProbe;

// A MIDI device for tests, made of the simulator's own parts: a port pair on
// the suite's MIDI service that records what it receives and may play the
// simulated unit (answering as it would) or the pad controller (keeping its
// lamps). Made and used on the test's GUI thread; the library's input thread
// only queues, and the queue is emptied in the event loop, nested ones too.
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

    // Ports "NAME In:in" and "NAME Out:out" on the suite's service (ALSA lists
    // them with numbers: "NAME In:in 129:0"; on JACK a NAME "twin 24:0" makes
    // "twin-in 24:0"). Throws RtMidiError without a service.
    explicit Peer(const QString &name, Role role = Raw);
    ~Peer() override;

    // As the program's port lists show them now.
    QString in() const { return inName; }   // what a program's output opens
    QString out() const { return outName; } // what a program's input opens

    // Sends once our output's connection carries MIDI (see JackProbe::settle).
    void send(const ByteVector &bytes);

    // What arrived since the last clear, in order.
    const std::vector<ByteVector> &received();
    bool waitFor(int count, int timeoutMs = 5000);
    void clear();

    SimulatedUnit &unit() { return simulatedUnit; }
    SimulatedPads &pads() { return simulatedPads; }

    // The device is switched off (its ports go) and on again.
    void unplug();
    void plug();
    bool isPlugged() const { return ports != nullptr; }

    static const ByteVector serial;

private:
    void take();

    QString name, inName, outName;
    Role role;
    SimulatedUnit simulatedUnit{serial};
    SimulatedPads simulatedPads;
    MessageQueue queue;
    QSocketNotifier wake;
    std::shared_ptr<JackMidiClient> client;
    std::unique_ptr<MidiPortPair> ports;
    std::vector<ByteVector> messages;
    bool settled = false;
};

#endif
