#ifndef RAWJACKCLIENT_H
#define RAWJACKCLIENT_H

#include <QByteArray>
#include <QString>

#include <vector>

typedef struct _jack_client jack_client_t;
typedef struct _jack_port jack_port_t;

// A plain JACK client on the server that JACK_DEFAULT_SERVER names, for ports
// that RtMidi would never make: names of raw bytes, and ports that fill the
// server's port table. Activated, but without a process callback. GUI thread.
class RawJackClient
{
public:
    explicit RawJackClient(const QString &name);
    ~RawJackClient();
    RawJackClient(const RawJackClient &) = delete;
    RawJackClient &operator=(const RawJackClient &) = delete;

    bool isOpen() const { return m_client != nullptr; }

    // Registers a MIDI port; returns its full name ("client:port"), empty on
    // failure. output: data flows out of it (a QMidiIn lists it).
    QByteArray addMidiPort(const QByteArray &shortName, bool output);
    bool removeMidiPort(const QByteArray &fullName);
    // Registers ports until the server refuses one, then frees `free` of
    // them again, so that exactly that many more ports can be registered.
    bool fillLeaving(int free);

    // Position of the port among the server's MIDI ports of its direction,
    // in the order the library lists them; -1 when absent.
    int listIndex(const QByteArray &fullName, bool output) const;
    int connectionCount(const QByteArray &fullName) const;

private:
    jack_client_t *m_client = nullptr;
    std::vector<jack_port_t *> m_fillers;
};

#endif
