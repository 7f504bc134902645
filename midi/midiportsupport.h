#ifndef MIDIPORTSUPPORT_H
#define MIDIPORTSUPPORT_H

#include "midiinputbackend.h"
#include "midioutputbackend.h"

#include <memory>
#include <string>

// Chooses the service for the port objects and makes their back ends. GUI
// thread.
namespace MidiPortSupport {

// The API every back end is made with from now on; UNSPECIFIED (the default)
// leaves the choice to the service found. Set once at start-up, before any
// port object exists.
void setPreferredApi(RtMidi::Api api);
RtMidi::Api preferredApi();
// The service whose ports the port objects use: the preferred one, else the
// one the last back end was made on; UNSPECIFIED while none was found.
RtMidi::Api service();

// The back end for an input or an output. With a preferred API, that service
// only: ports on another would not be where the user looks for them. Without
// one, the first of RtMidi's services (other than JACK) that lists a port,
// else a port on the process's one JACK client (see JackMidiClient) when a
// JACK server runs, else the first RtMidi service that could be made. Never
// null: a NoMidiBackend when there is no service.
std::unique_ptr<MidiInputBackend> createInput();
std::unique_ptr<MidiOutputBackend> createOutput();

// The name that the process's JACK client is made with: the application's.
std::string jackClientName();

} // namespace MidiPortSupport

#endif
