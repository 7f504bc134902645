#ifndef MIDISERVICEWATCH_H
#define MIDISERVICEWATCH_H

#include <atomic>
#include <functional>

typedef struct _jack_client jack_client_t;

// Notices the JACK server going away, which RtMidi never reports: its clients
// then stay "open" on a dead server and a send can wait forever. Owned and
// asked on the GUI thread; JACK's notification thread only sets the flag and
// calls onLost.
class MidiServiceWatch
{
public:
    explicit MidiServiceWatch(std::function<void()> onLost = {});
    ~MidiServiceWatch();
    MidiServiceWatch(const MidiServiceWatch &) = delete;
    MidiServiceWatch &operator=(const MidiServiceWatch &) = delete;

    // Connects to the server that a default client reaches now, if one runs
    // and none is watched yet. Never starts a server.
    void watch();
    bool watching() const { return m_client != nullptr; }
    // True once the watched server has stopped; a library client made while it
    // ran is unusable from then on.
    bool lost() const { return m_lost.load(std::memory_order_acquire); }
    // Before a port of a library client on the watched server goes away: waits
    // until the server has announced the graph changes made so far (see
    // JackGraph). Returns at once when nothing is watched or the server is gone.
    void awaitGraphAnnouncements() const;

private:
    static void onShutdown(void *arg);

    std::function<void()> m_onLost;
    jack_client_t *m_client = nullptr;
    std::atomic<bool> m_lost{false};
};

#endif
