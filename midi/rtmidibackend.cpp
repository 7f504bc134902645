#include "rtmidibackend.h"

#include "tarnconfig.h"

#ifdef TARNAPP_WITH_ALSA
#include "alsaownports.h"
#endif

RtMidiBackend::RtMidiBackend(std::unique_ptr<RtMidiIn> in)
    : input(std::move(in)), library(input.get()), service(input->getCurrentApi())
{
}

RtMidiBackend::RtMidiBackend(std::unique_ptr<RtMidiOut> out)
    : output(std::move(out)), library(output.get()), service(output->getCurrentApi())
{
}

std::string RtMidiBackend::portName(unsigned int index)
{
    return library->getPortName(index);
}

bool RtMidiBackend::isOwnPort(const std::string &listed)
{
#ifdef TARNAPP_WITH_ALSA
    if (service == RtMidi::LINUX_ALSA)
        return AlsaOwnPorts::isOwn(listed);
#endif
    (void)listed;
    return false;
}

void RtMidiBackend::openPort(unsigned int index, const std::string &ourName)
{
    library->openPort(index, ourName);
}

void RtMidiBackend::setCallback(RtMidiIn::RtMidiCallback callback, void *userData)
{
    if (input)
        input->setCallback(callback, userData);
}

void RtMidiBackend::ignoreTypes(bool midiSysex, bool midiTime, bool midiSense)
{
    if (input)
        input->ignoreTypes(midiSysex, midiTime, midiSense);
}

void RtMidiBackend::sendMessage(const std::vector<unsigned char> &bytes)
{
    if (output)
        output->sendMessage(&bytes);
}
