#ifndef JACKPORTWATCH_H
#define JACKPORTWATCH_H

#include "serviceportwatch.h"

#include <cstdint>
#include <memory>

class JackMidiClient;

// The port watch on JACK: JACK tells the process's one client (see
// JackMidiClient) of every port registered or unregistered, and this passes
// it on. A server may start at any time, so an open that failed is tried
// again. Opened and closed on the GUI thread; the notices come on JACK's
// notification thread and only report to the watch.
class JackPortWatch : public ServicePortWatch
{
public:
    explicit JackPortWatch(MidiPortWatch *watch);
    ~JackPortWatch() override;

    RtMidi::Api api() const override { return RtMidi::UNIX_JACK; }
    bool triesAgain() const override { return true; }
    bool isAlive() const override;
    bool lists(const QString &name) const override;

private:
    // On the process's client of the server that a default client reaches,
    // if one runs.
    bool listen() override;
    void stopListening() override;
    void onPort(std::uint32_t id, bool registered);

    std::shared_ptr<JackMidiClient> jack;
    int listener = 0;
};

#endif
