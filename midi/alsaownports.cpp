#include "alsaownports.h"

#include <alsa/asoundlib.h>
#include <unistd.h>

namespace AlsaOwnPorts {

bool isOwn(const std::string &listed)
{
    // The port objects' clients bear RtMidi's names; other programs' may too,
    // so the client number names the process.
    if (listed.rfind("RtMidi Input Client:", 0) != 0 &&
        listed.rfind("RtMidi Output Client:", 0) != 0)
        return false;
    const std::size_t numbers = listed.rfind(' ');
    if (numbers == std::string::npos)
        return false;
    const int client = std::atoi(listed.c_str() + numbers + 1);
    // One client for the asking, kept: a client made and gone each time would
    // be announced to every port watch, which would ask again.
    static snd_seq_t *seq = [] {
        snd_seq_t *opened = nullptr;
        return snd_seq_open(&opened, "default", SND_SEQ_OPEN_OUTPUT, 0) == 0 ? opened : nullptr;
    }();
    if (!seq)
        return false;
    snd_seq_client_info_t *info;
    snd_seq_client_info_alloca(&info);
    return snd_seq_get_any_client_info(seq, client, info) == 0 &&
           snd_seq_client_info_get_pid(info) == getpid();
}

} // namespace AlsaOwnPorts
