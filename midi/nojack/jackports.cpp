#include "jackports.h"

// A build without JACK has no ports of its own: everything is RtMidi's.
namespace JackPorts {

RtMidi *makeInput(const std::string &)
{
    return nullptr;
}

RtMidi *makeOutput(const std::string &)
{
    return nullptr;
}

bool destroy(RtMidi *)
{
    return false;
}

std::shared_ptr<JackMidiClient> client(RtMidi *)
{
    return nullptr;
}

bool setCallback(RtMidi *, RtMidiIn::RtMidiCallback, void *)
{
    return false;
}

bool ignoreTypes(RtMidi *, bool, bool, bool)
{
    return false;
}

bool sendMessage(RtMidi *, const std::vector<unsigned char> &)
{
    return false;
}

} // namespace JackPorts
