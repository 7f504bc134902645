#ifndef SIMULATEDPADS_H
#define SIMULATEDPADS_H

#include "hardmessages.h"
#include "remoteprotocol.h"

#include <array>
#include <string>

// A pad controller with six lamps, six pads and a foot switch: which lamps the program's
// feedback notes have lit, and the notes its pads send. No I/O; the simulator's main thread.
class SimulatedPads
{
public:
    // A message arrived on the controller's input; true when it was one of the lamp notes.
    bool receive(const ByteVector &message);
    bool isLit(int pad) const { return lit[pad]; } // pad 0 to 5
    // "pads: [ ] [#] [ ] [ ] [ ] [ ]", one lamp per pad, "#" for lit.
    std::string lampRow() const;

    // Note On 54 to 59, velocity 127, channel 1, for pad 1 to 6.
    static ByteVector padPress(int pad);
    // Note On 69, velocity 0, channel 1.
    static ByteVector footSwitch();

private:
    std::array<bool, RemoteProtocol::PadCount> lit{};
};

#endif
