#ifndef JACKMIDICLIENT_H
#define JACKMIDICLIENT_H

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <semaphore.h>
#include <string>
#include <thread>
#include <vector>

typedef struct _jack_client jack_client_t;
typedef struct _jack_port jack_port_t;
typedef uint32_t jack_nframes_t;

// The one JACK client of this process: every MIDI port the process opens on
// JACK belongs to it. Made, asked and given ports on the port objects'
// thread; its cycle runs on JACK's process thread, and messages received
// there reach their port on a delivery thread of its own.
//
// Why one: libjack keeps a single table of wake-up objects for all clients
// of a process, and each client's notification thread rewrites the entry of
// any client that comes or goes. When another program's client leaves and
// one of ours opens in its slot before every other client of ours has
// handled the leaving, the new client is left waiting on the departed one's
// wake-up object: it never runs again and the whole graph stalls. With one
// client per process there is no other client of ours to be behind.
class JackMidiClient
{
public:
    // Which way a port of ours, or a port listed, carries MIDI.
    enum class Direction
    {
        Input,
        Output
    };

    // A port's share of the cycle.
    class CycleUser
    {
    public:
        virtual ~CycleUser() = default;
        // JACK's process thread, once per cycle while attached; must not block.
        virtual void process(jack_nframes_t frames) = 0;
        // The delivery thread, after a cycle that woke it.
        virtual void deliver() {}
    };

    // The process's client on the server a default client reaches now, made
    // and activated on first use (named `name`; JACK may add a suffix). Null
    // when no server answers, or while a client of a server that went away is
    // still held: libjack must not open a client of a new server before then.
    // libjack's lines of a failed open are printed unless the last failed
    // open printed the same (a server that is not there says so every time).
    static std::shared_ptr<JackMidiClient> shared(const std::string &name);

    ~JackMidiClient();
    JackMidiClient(const JackMidiClient &) = delete;
    JackMidiClient &operator=(const JackMidiClient &) = delete;

    jack_client_t *handle() const { return client; }
    // The names of the server's MIDI ports that take (Input) or send MIDI
    // (Output), in the server's order.
    std::vector<std::string> midiPorts(Direction direction) const;
    // True for a port of this client that a port object registered for a
    // connection ("RtMidi Input", "RtMidi Output 2"), not a device's.
    bool isPortObjectPort(const std::string &name) const;
    // True once the server has stopped; the client is unusable from then on.
    bool lost() const { return lostFlag.load(std::memory_order_acquire); }

    // True when the server's clock has run on for half a second since a
    // cycle of ours last ended: JACK has stopped running its clients (its
    // graph is stalled) and no MIDI moves anywhere. Asked now and then on
    // one thread.
    bool cyclesStopped();

    // What a listener is told, on JACK's threads: that the server stopped,
    // and each port registered or unregistered on it (by JACK's port id).
    struct Listener
    {
        std::function<void()> lost;
        std::function<void(uint32_t id, bool registered)> port;
    };
    // Returns an id for removeListener.
    int addListener(Listener listener);
    void removeListener(int id);

    // Registers a MIDI port named `shortName`, or that name with " 2", " 3"...
    // when another port of ours has it, stores it in `port` (which the user's
    // cycles read), then has the user take part in every cycle from now on.
    // Throws RtMidiError, leaving `port` null.
    void addPort(const std::string &shortName, Direction direction, CycleUser *user,
                 jack_port_t *&port);
    // Once earlier graph changes have been announced (see JackGraph), takes
    // the user out of the cycles and unregisters the port; until then the
    // user keeps its port's buffer (JACK leaves an output's last data there
    // for its readers).
    void closePort(jack_port_t *port, CycleUser *user);

    // Process thread: have the delivery thread call deliver() soon.
    void wakeDelivery() { sem_post(&wake); }
    // Held while deliveries run; a port changes what its deliveries use
    // under it.
    std::mutex &deliveryLock() { return deliveryMutex; }

private:
    explicit JackMidiClient(const std::string &name);
    static int onProcess(jack_nframes_t frames, void *arg);
    static void onShutdown(void *arg);
    static void onPortRegistration(uint32_t id, int registered, void *arg);
    void deliveryLoop();
    // Waits until the server has announced the graph changes made so far.
    void awaitAnnouncements() const;
    // Null on failure.
    jack_port_t *registerPort(const std::string &shortName, Direction direction);
    // False when all places are taken.
    bool attach(CycleUser *user);
    // Returns once the user takes no more part in any cycle or delivery.
    void detach(CycleUser *user);

    static constexpr int maxUsers = 32;

    jack_client_t *client = nullptr;
    std::atomic<bool> lostFlag{false};
    std::array<std::atomic<CycleUser *>, maxUsers> users{};
    std::atomic<uint64_t> cyclesBegun{0};
    std::atomic<uint64_t> cyclesEnded{0};
    uint64_t endedAtLastLook = 0;
    jack_nframes_t lastProgress = 0;

    sem_t wake;
    std::atomic<bool> stopping{false};
    std::mutex deliveryMutex;
    std::thread deliveryThread;

    std::mutex listenerMutex;
    std::map<int, Listener> listeners;
    int nextListener = 1;
};

#endif
