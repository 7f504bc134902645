#include "simulatedpads.h"

bool SimulatedPads::receive(const ByteVector &message)
{
    if (message.size() != 3)
        return false;
    const unsigned char type = message[0] & 0xF0;
    if (type != 0x90 && type != 0x80)
        return false;
    const int pad = message[1] - firstNote;
    if (pad < 0 || pad >= padCount)
        return false;
    // Any channel; a Note Off or a Note On with velocity 0 turns the lamp off.
    lit[pad] = type == 0x90 && message[2] != 0;
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
    return {0x90, static_cast<unsigned char>(firstNote + pad - 1), 0x7F};
}

ByteVector SimulatedPads::footSwitch()
{
    return {0x90, footSwitchNote, 0x00};
}
