#include "serviceclients.h"

#include "benchsettings.h"
#include "simulateddevice.h"
#include "tarnconfig.h"

#include <jack/jack.h>
#if TARNAPP_WITH_ALSA
#include <alsa/asoundlib.h>
#endif

#include <set>
#include <string>

ServiceClients::ServiceClients()
{
    if (!SimulatedDevice::onAlsa()) {
        m_handle = jack_client_open("soak-probe", JackNoStartServer, nullptr);
        return;
    }
#if TARNAPP_WITH_ALSA
    snd_seq_t *seq = nullptr;
    if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, 0) == 0)
        m_handle = seq;
#endif
}

ServiceClients::~ServiceClients()
{
    if (!m_handle)
        return;
    if (!SimulatedDevice::onAlsa()) {
        jack_client_close(static_cast<jack_client_t *>(m_handle));
        return;
    }
#if TARNAPP_WITH_ALSA
    snd_seq_close(static_cast<snd_seq_t *>(m_handle));
#endif
}

const char *ServiceClients::what()
{
    return SimulatedDevice::onAlsa() ? "ALSA ports" : "JACK clients";
}

int ServiceClients::count(long long pid) const
{
    if (!m_handle)
        return -1;
    if (!SimulatedDevice::onAlsa()) {
        // libjack does not tell a client's process; on the soak's private
        // server every client but the soak's own is the program's.
        auto *client = static_cast<jack_client_t *>(m_handle);
        const char **ports = jack_get_ports(client, nullptr, nullptr, 0);
        std::set<std::string> owners;
        for (const char **port = ports; port && *port; ++port) {
            const std::string name = *port;
            owners.insert(name.substr(0, name.find(':')));
        }
        jack_free(ports);
        owners.erase(BenchSettings::names("", true).jackClient);
        owners.erase(jack_get_client_name(client));
        return int(owners.size());
    }
#if TARNAPP_WITH_ALSA
    auto *seq = static_cast<snd_seq_t *>(m_handle);
    snd_seq_client_info_t *info = nullptr;
    snd_seq_client_info_alloca(&info);
    snd_seq_client_info_set_client(info, -1);
    int count = 0;
    while (snd_seq_query_next_client(seq, info) >= 0) {
        if (snd_seq_client_info_get_pid(info) == pid)
            count += snd_seq_client_info_get_num_ports(info);
    }
    return count;
#else
    return -1;
#endif
}
