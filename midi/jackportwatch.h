#ifndef JACKPORTWATCH_H
#define JACKPORTWATCH_H

#include <QString>

#include <atomic>
#include <cstdint>

class MidiPortWatch;
typedef struct _jack_client jack_client_t;

// The JACK half of MidiPortWatch: a client of its own that JACK tells of every
// port registered or unregistered. JACK tells only active clients, so it is
// activated; having no process callback, it is not part of the process cycle
// (no thread of its own, no work per period, nothing the graph waits for).
// Opened and closed on the GUI thread; the callbacks run on JACK's
// notification thread and only report to the watch.
class JackPortWatch
{
public:
    // The high bits of this back end's port keys.
    static constexpr std::uint64_t tag = std::uint64_t(1) << 62;

    explicit JackPortWatch(MidiPortWatch *watch);
    ~JackPortWatch();
    JackPortWatch(const JackPortWatch &) = delete;
    JackPortWatch &operator=(const JackPortWatch &) = delete;

    // Connects to the server a default client reaches, if one runs, and
    // reports the ports there now. Never starts a server.
    bool open();
    // False once the server has stopped.
    bool isAlive() const { return client && !lost.load(std::memory_order_acquire); }
    // Whether the server has a port of that name now, announced or not.
    bool lists(const QString &name) const;

private:
    static void onPort(unsigned int id, int registered, void *self);
    static void onShutdown(void *self);

    MidiPortWatch *watch;
    jack_client_t *client = nullptr;
    std::atomic<bool> lost{false};
};

#endif
