#ifndef SERVICECLIENTS_H
#define SERVICECLIENTS_H

// Counts what another process holds on the MIDI service: on JACK the clients
// with at least one port (JACK lists clients only through their ports) other
// than the soak's own, on ALSA the sequencer ports of the process. Benchmark
// main thread.
class ServiceClients
{
public:
    ServiceClients();
    ~ServiceClients();
    ServiceClients(const ServiceClients &) = delete;
    ServiceClients &operator=(const ServiceClients &) = delete;

    // -1 when the service cannot be asked.
    int count(long long pid) const;
    // "JACK clients" or "ALSA ports", for the table.
    static const char *what();

private:
    void *m_handle = nullptr; // jack_client_t or snd_seq_t
};

#endif
