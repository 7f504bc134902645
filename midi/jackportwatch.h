#ifndef JACKPORTWATCH_H
#define JACKPORTWATCH_H

#include <QString>

#include <cstdint>
#include <memory>

class JackMidiClient;
class MidiPortWatch;

// The JACK half of MidiPortWatch: JACK tells the process's one client (see
// JackMidiClient) of every port registered or unregistered, and this passes
// it on. Opened and closed on the GUI thread; the notices come on JACK's
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

    // Listens on the process's client of the server that a default client
    // reaches, if one runs, and reports the ports there now. Never starts a
    // server.
    bool open();
    // False once the server has stopped.
    bool isAlive() const;
    // Whether the server has a port of that name now, announced or not.
    bool lists(const QString &name) const;

private:
    void onPort(std::uint32_t id, bool registered);

    MidiPortWatch *watch;
    std::shared_ptr<JackMidiClient> jack;
    int listener = 0;
};

#endif
