// A build without JACK: there is never a JACK client under a port object, so
// there is no server to watch and the watch never reports a loss.
#include "midiservicewatch.h"

MidiServiceWatch::MidiServiceWatch(std::shared_ptr<JackMidiClient>, std::function<void()>) {}

MidiServiceWatch::~MidiServiceWatch() = default;

bool MidiServiceWatch::lost() const
{
    return false;
}
