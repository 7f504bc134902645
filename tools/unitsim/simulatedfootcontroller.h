#ifndef SIMULATEDFOOTCONTROLLER_H
#define SIMULATEDFOOTCONTROLLER_H

#include "hardmessages.h"

// A MIDI foot controller as many musicians own one: six switches sending Program
// Change 0 to 5, a pedal on Control Change 64 and four setlist switches on
// Control Change 80 to 83, all on channel 1, and Song Select. Sends only;
// no I/O. The simulator's main thread.
class SimulatedFootController
{
public:
    static constexpr unsigned char pedalController = 64;

    // Program Change 0 to 5 for switch 1 to 6.
    static ByteVector switchPress(int number);
    // The pedal pressed (value 127) or let go (value 0).
    static ByteVector pedal(bool down);
    // Four more switches for a setlist, to be learnt for its next and previous
    // part and song: Control Change 80 to 83 at 127 (pressed) or 0.
    static constexpr unsigned char firstSetlistController = 80;
    static ByteVector setlistSwitch(int number, bool down); // number 0 to 3
    // MIDI Song Select: song number 0 to 127 (song 1 is 0).
    static ByteVector songSelect(int number);
};

#endif
