#ifndef MIDISERVICE_H
#define MIDISERVICE_H

#include <QStringList>
#include <RtMidi.h>

#include <vector>

// The suite's MIDI service, chosen by TARN_MIDI_SERVICE: "jack" (the default,
// a private server), "alsa" (the kernel's sequencer) or "pipewire" (a private
// PipeWire, reached through its libjack, so JACK's API as on "jack"). The test
// devices and the program under test both use it. Any thread.
namespace MidiService {

bool isAlsa();
bool isPipeWire();
RtMidi::Api api();
const char *apiName(); // as the programs' --api options take it

// The bytes a device receives of a message sent to it: PipeWire's libjack
// turns a Note On at velocity 0 into a Note Off at velocity 64.
std::vector<unsigned char> delivered(std::vector<unsigned char> sent);

// The port "client:port" as port lists show it: on ALSA with the client and
// port numbers after a space ("sim In:in 129:0"), empty when absent; on JACK
// the name itself.
QString listed(const QString &clientPort);

// The ports (as listed) that a port (as listed) is connected with, either
// way, from the sequencer's own account; ALSA only.
QStringList alsaConnections(const QString &listedPort);

} // namespace MidiService

#endif
