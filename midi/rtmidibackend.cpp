#include "rtmidibackend.h"

#include "tarnconfig.h"

#ifdef TARNAPP_WITH_ALSA
#include "alsaownports.h"
#endif

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
    library.openPort(index, ourName);
}
