#ifndef ALSAPORTWATCH_H
#define ALSAPORTWATCH_H

#include <QObject>
#include <QString>

#include <cstdint>

class MidiPortWatch;
typedef struct _snd_seq snd_seq_t;

// The ALSA half of MidiPortWatch: a sequencer client of its own subscribed to
// the System Announce port (client 0, port 1), whose events tell of every
// port and client that comes, goes or changes. Read through the sequencer's
// poll descriptors in socket notifiers, so it has no thread and costs nothing
// while nothing happens. GUI thread.
class AlsaPortWatch : public QObject
{
    Q_OBJECT
public:
    // The high bits of this back end's port keys.
    static constexpr std::uint64_t tag = std::uint64_t(1) << 63;

    explicit AlsaPortWatch(MidiPortWatch *watch);
    ~AlsaPortWatch() override;

    // Opens the sequencer and reports the ports there now; false without one.
    bool open();

private:
    void readEvents();
    void reportClient(int client);
    void reportPort(int client, int port);
    static quint64 keyOf(int client, int port);

    MidiPortWatch *watch;
    snd_seq_t *seq = nullptr;
};

#endif
