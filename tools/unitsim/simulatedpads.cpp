#include "simulatedpads.h"

using namespace RemoteProtocol;

bool SimulatedPads::receive(const ByteVector &message)
{
    if (message.size() != 3)
        return false;
    const unsigned char type = message[0] & 0xF0;
    if (type != NoteOn && type != NoteOff)
        return false;
    const int pad = message[1] - FirstPadNote;
    if (pad < 0 || pad >= PadCount)
        return false;
    // Any channel; a Note Off or a Note On with velocity 0 turns the lamp off.
    lit[pad] = type == NoteOn && message[2] != LampOff;
    return true;
}

std::string SimulatedPads::lampRow() const
{
    std::string row = "pads:";
    for (bool on : lit)
        row += on ? " [#]" : " [ ]";
    return row;
}

ByteVector SimulatedPads::padPress(int pad)
{
    return {NoteOn, static_cast<unsigned char>(FirstPadNote + pad - 1), PadVelocity};
}

ByteVector SimulatedPads::footSwitch()
{
    return {NoteOn, FootSwitchNote, FootSwitchVelocity};
}
