#ifndef JACKPROBE_H
#define JACKPROBE_H

#include <QStringList>

#include <mutex>
#include <vector>

typedef struct _jack_client jack_client_t;
typedef struct _jack_port jack_port_t;

// The tests' one look at the JACK graph: connections of a port, the
// connections made and broken since the probe began, and filler ports that
// use up the server's port table. A client of its own on the suite's server;
// asked on the test's GUI thread, JACK's notification thread only appends.
// On ALSA (see MidiService) no JACK server runs: connections come from the
// sequencer, settle has nothing to wait for, and what is about JACK itself
// finds nothing (isValid() is false).
class JackProbe
{
public:
    JackProbe();
    ~JackProbe();
    JackProbe(const JackProbe &) = delete;
    JackProbe &operator=(const JackProbe &) = delete;

    bool isValid() const { return client != nullptr; }
    // Before the server stops: libjack opens no client of a new server while
    // one of the old is left. open() makes a client on the server that runs.
    void close();
    bool open();
    QStringList connections(const QString &port) const;
    bool waitConnected(const QString &port, int timeoutMs = 5000) const;
    // Returns once the changes made to the graph so far have been announced and
    // a cycle has passed with them: MIDI sent from then on is carried.
    void settle() const;

    // "+PORT" or "-PORT" for each connection made or broken on a port of ours
    // named in watch, and "latency" for each announcement of a graph change
    // while any port is watched, in order.
    void watch(const QStringList &ports);
    QStringList events() const;
    // The clients that came on the server since the probe opened.
    QStringList clientsCome() const;

    // Registers ports until the server refuses, then frees `free` of them.
    bool fill(int free);
    void unfill();

private:
    static void onConnect(unsigned int a, unsigned int b, int connect, void *arg);
    static void onLatency(int mode, void *arg);
    static void onClient(const char *name, int registered, void *arg);

    jack_client_t *client = nullptr;
    std::vector<jack_port_t *> fillers;
    mutable std::mutex mutex;
    QStringList watched, seen, clients;
};

// The probe of this test process, made at the first use.
JackProbe &jackProbe();

#endif
