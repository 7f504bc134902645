#include "alsaportwatch.h"

#include <QSocketNotifier>
#include <alsa/asoundlib.h>

#include <poll.h>
#include <vector>

namespace {

// The high bits of this service's port keys.
constexpr std::uint64_t alsaTag = std::uint64_t(1) << 63;

} // namespace

AlsaPortWatch::AlsaPortWatch(MidiPortWatch *watch) : ServicePortWatch(watch, alsaTag) {}

AlsaPortWatch::~AlsaPortWatch()
{
    close();
}

quint64 AlsaPortWatch::keyOf(int client, int port)
{
    return quint64(client) << 8 | quint64(port & 0xff);
}

void AlsaPortWatch::stopListening()
{
    for (QSocketNotifier *notifier : notifiers)
        delete notifier;
    notifiers.clear();
    snd_seq_close(seq);
    seq = nullptr;
}

bool AlsaPortWatch::listen()
{
    if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_INPUT, SND_SEQ_NONBLOCK) < 0) {
        seq = nullptr;
        return false;
    }
    snd_seq_set_client_name(seq, "TarnApp port watch");
    const int port = snd_seq_create_simple_port(seq, "announcements",
                                                SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_NO_EXPORT,
                                                SND_SEQ_PORT_TYPE_APPLICATION);
    if (port < 0 ||
        snd_seq_connect_from(seq, port, SND_SEQ_CLIENT_SYSTEM, SND_SEQ_PORT_SYSTEM_ANNOUNCE) < 0) {
        snd_seq_close(seq);
        seq = nullptr;
        return false;
    }
    std::vector<pollfd> fds(size_t(snd_seq_poll_descriptors_count(seq, POLLIN)));
    snd_seq_poll_descriptors(seq, fds.data(), unsigned(fds.size()), POLLIN);
    for (const pollfd &fd : fds) {
        auto *notifier = new QSocketNotifier(fd.fd, QSocketNotifier::Read, this);
        notifiers.push_back(notifier);
        connect(notifier, &QSocketNotifier::activated, this, &AlsaPortWatch::readEvents);
    }
    // After subscribing, so that no port falls between the list and the events.
    reportClient(-1);
    return true;
}

void AlsaPortWatch::readEvents()
{
    snd_seq_event_t *event = nullptr;
    int result;
    while ((result = snd_seq_event_input(seq, &event)) >= 0 || result == -ENOSPC) {
        if (result == -ENOSPC || !event) {
            // Events were lost: every client is reported again.
            reportClient(-1);
            continue;
        }
        const snd_seq_addr_t &addr = event->data.addr;
        switch (event->type) {
        case SND_SEQ_EVENT_PORT_START:
        case SND_SEQ_EVENT_PORT_CHANGE:
            reportPort(addr.client, addr.port);
            break;
        case SND_SEQ_EVENT_PORT_EXIT:
            portRemoved(keyOf(addr.client, addr.port));
            break;
        case SND_SEQ_EVENT_CLIENT_CHANGE:
            // Port names carry the client's name.
            reportClient(addr.client);
            break;
        case SND_SEQ_EVENT_CLIENT_EXIT:
            for (int port = 0; port < 256; ++port)
                portRemoved(keyOf(addr.client, port));
            break;
        default:
            break;
        }
    }
}

void AlsaPortWatch::reportClient(int client)
{
    if (client < 0) {
        snd_seq_client_info_t *info;
        snd_seq_client_info_alloca(&info);
        snd_seq_client_info_set_client(info, -1);
        while (snd_seq_query_next_client(seq, info) >= 0)
            reportClient(snd_seq_client_info_get_client(info));
        return;
    }
    snd_seq_port_info_t *port;
    snd_seq_port_info_alloca(&port);
    snd_seq_port_info_set_client(port, client);
    snd_seq_port_info_set_port(port, -1);
    while (snd_seq_query_next_port(seq, port) >= 0)
        reportPort(client, snd_seq_port_info_get_port(port));
}

void AlsaPortWatch::reportPort(int client, int port)
{
    snd_seq_client_info_t *clientInfo;
    snd_seq_port_info_t *portInfo;
    snd_seq_client_info_alloca(&clientInfo);
    snd_seq_port_info_alloca(&portInfo);
    if (snd_seq_get_any_client_info(seq, client, clientInfo) < 0 ||
        snd_seq_get_any_port_info(seq, client, port, portInfo) < 0)
        return;
    // Named as the library lists it: "client:port client-number:port-number".
    const QString name = QString::fromUtf8(snd_seq_client_info_get_name(clientInfo)) + ':' +
                         QString::fromUtf8(snd_seq_port_info_get_name(portInfo)) +
                         QString(" %1:%2").arg(client).arg(port);
    portAdded(keyOf(client, port), name);
}
