#ifndef REMOTEPROTOCOL_H
#define REMOTEPROTOCOL_H

#include "presets.h"

// The pad controller the program was made for, as its default bindings and
// the simulated pads speak it: Note On on any channel in, on channel 1 out;
// six pad notes in preset order, a pad pressed at full velocity, the foot
// switch as its own note at velocity 0, lamps lit at full velocity and
// darkened at 0. Constants; any thread.
namespace RemoteProtocol {

constexpr unsigned char NoteOn = 0x90;
constexpr unsigned char NoteOff = 0x80;
constexpr int PadCount = PresetCount;      // one pad per preset
constexpr unsigned char FirstPadNote = 54; // preset 1; the others follow
constexpr unsigned char FootSwitchNote = 69;
constexpr unsigned char PadVelocity = 127;
constexpr unsigned char FootSwitchVelocity = 0;
constexpr unsigned char LampOff = 0;

} // namespace RemoteProtocol

#endif
