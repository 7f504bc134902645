#ifndef JACKPORTS_H
#define JACKPORTS_H

#include <RtMidi.h>

#include <memory>
#include <string>
#include <vector>

class JackMidiClient;

// Our own JACK ports (JackMidiIn, JackMidiOut) where the port objects would
// otherwise use RtMidi's; a build without JACK has none, and then every call
// here answers "not ours". GUI thread.
namespace JackPorts {

// Null when no JACK server runs.
RtMidi *makeInput(const std::string &clientName);
RtMidi *makeOutput(const std::string &clientName);
// Deletes one of ours and returns true; false for anything else.
bool destroy(RtMidi *port);
std::shared_ptr<JackMidiClient> client(RtMidi *port);
// Each returns false (and does nothing) for a port that is not ours.
bool setCallback(RtMidi *port, RtMidiIn::RtMidiCallback callback, void *userData);
bool ignoreTypes(RtMidi *port, bool midiSysex, bool midiTime, bool midiSense);
bool sendMessage(RtMidi *port, const std::vector<unsigned char> &bytes);

} // namespace JackPorts

#endif
