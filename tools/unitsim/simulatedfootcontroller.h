#ifndef SIMULATEDFOOTCONTROLLER_H
#define SIMULATEDFOOTCONTROLLER_H

#include "hardmessages.h"

// A MIDI foot controller as many musicians own one: six switches sending Program
// Change 0 to 5 and a pedal on Control Change 64, all on channel 1. Sends only;
// no I/O. The simulator's main thread.
class SimulatedFootController
{
public:
    static constexpr unsigned char pedalController = 64;

    // Program Change 0 to 5 for switch 1 to 6.
    static ByteVector switchPress(int number);
    // The pedal pressed (value 127) or let go (value 0).
    static ByteVector pedal(bool down);
};

#endif
