#include "jackports.h"

#include "jackmidiin.h"
#include "jackmidiout.h"

namespace JackPorts {

RtMidi *makeInput(const std::string &clientName)
{
    try {
        return new JackMidiIn(clientName);
    } catch (const RtMidiError &) {
        return nullptr;
    }
}

RtMidi *makeOutput(const std::string &clientName)
{
    try {
        return new JackMidiOut(clientName);
    } catch (const RtMidiError &) {
        return nullptr;
    }
}

bool destroy(RtMidi *port)
{
    if (auto *in = dynamic_cast<JackMidiIn *>(port)) {
        delete in;
        return true;
    }
    if (auto *out = dynamic_cast<JackMidiOut *>(port)) {
        delete out;
        return true;
    }
    return false;
}

std::shared_ptr<JackMidiClient> client(RtMidi *port)
{
    if (auto *in = dynamic_cast<JackMidiIn *>(port))
        return in->client();
    if (auto *out = dynamic_cast<JackMidiOut *>(port))
        return out->client();
    return nullptr;
}

bool setCallback(RtMidi *port, RtMidiIn::RtMidiCallback callback, void *userData)
{
    auto *in = dynamic_cast<JackMidiIn *>(port);
    if (in)
        in->setCallback(callback, userData);
    return in;
}

bool ignoreTypes(RtMidi *port, bool midiSysex, bool midiTime, bool midiSense)
{
    auto *in = dynamic_cast<JackMidiIn *>(port);
    if (in)
        in->ignoreTypes(midiSysex, midiTime, midiSense);
    return in;
}

bool sendMessage(RtMidi *port, const std::vector<unsigned char> &bytes)
{
    auto *out = dynamic_cast<JackMidiOut *>(port);
    if (out)
        out->sendMessage(&bytes);
    return out;
}

} // namespace JackPorts
