#ifndef MIDISERVICEWATCH_H
#define MIDISERVICEWATCH_H

#include <functional>
#include <memory>

class JackMidiClient;

// Tells a port object that the JACK server under its back end went
// away, which the ports themselves never report: they then stay "open" on a
// dead server. Owned and asked on the GUI thread; onLost runs on JACK's
// notification thread.
class MidiServiceWatch
{
public:
    MidiServiceWatch(std::shared_ptr<JackMidiClient> client, std::function<void()> onLost);
    ~MidiServiceWatch();
    MidiServiceWatch(const MidiServiceWatch &) = delete;
    MidiServiceWatch &operator=(const MidiServiceWatch &) = delete;

    // True once the watched server has stopped; a back end made while
    // it ran is unusable from then on.
    bool lost() const;

private:
    std::shared_ptr<JackMidiClient> m_client;
    int m_listener = 0;
};

#endif
