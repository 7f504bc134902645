#ifndef MIDISERVICE_H
#define MIDISERVICE_H

#include <QStringList>
#include <RtMidi.h>

// The suite's MIDI service, chosen by TARN_MIDI_SERVICE: "jack" (the default,
// a private server) or "alsa" (the kernel's sequencer). The test devices and
// the program under test both use it. Any thread.
namespace MidiService {

bool isAlsa();
RtMidi::Api api();
const char *apiName(); // as the programs' --api options take it

// The port "client:port" as port lists show it: on ALSA with the client and
// port numbers after a space ("sim In:in 129:0"), empty when absent; on JACK
// the name itself.
QString listed(const QString &clientPort);

// The ports (as listed) that a port (as listed) is connected with, either
// way, from the sequencer's own account; ALSA only.
QStringList alsaConnections(const QString &listedPort);

} // namespace MidiService

#endif
