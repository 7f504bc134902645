#ifndef ALSAPORTWATCH_H
#define ALSAPORTWATCH_H

#include "serviceportwatch.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <vector>

class QSocketNotifier;
typedef struct _snd_seq snd_seq_t;

// The port watch on the ALSA sequencer: a sequencer client of its own subscribed to
// the System Announce port (client 0, port 1), whose events tell of every
// port and client that comes, goes or changes. Read through the sequencer's
// poll descriptors in socket notifiers, so it has no thread and costs nothing
// while nothing happens. The sequencer is there from boot or not at all, and
// every failed open prints ALSA's complaint: one try. GUI thread.
class AlsaPortWatch : public QObject, public ServicePortWatch
{
    Q_OBJECT
public:
    explicit AlsaPortWatch(MidiPortWatch *watch);
    ~AlsaPortWatch() override;

    RtMidi::Api api() const override { return RtMidi::LINUX_ALSA; }
    bool triesAgain() const override { return false; }

private:
    bool listen() override;
    void stopListening() override;
    void readEvents();
    void reportClient(int client);
    void reportPort(int client, int port);
    static quint64 keyOf(int client, int port);

    snd_seq_t *seq = nullptr;
    std::vector<QSocketNotifier *> notifiers;
};

#endif
