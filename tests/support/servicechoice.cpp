// Compiled into every test executable: its port objects, the window's too,
// use the suite's MIDI service, as main() makes the program's use the one
// TARNAPP_MIDI_API names. Without this, a test on a desktop would get the
// library's default (ALSA) while its devices sit on JACK.

#include "midiportsupport.h"
#include "midiservice.h"

namespace {

// Before main(): the choice is a constant-initialised variable of the program's.
const bool chosen = (MidiPortSupport::setPreferredApi(MidiService::api()), true);

} // namespace
