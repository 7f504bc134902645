#ifndef JACKGRAPH_H
#define JACKGRAPH_H

#include <string>

typedef struct _jack_client jack_client_t;

// Ways around two races inside libjack: waiting out the JACK server's
// announcements of graph changes before a port goes, and opening a client
// that wakes no one on a departed client's object. Called on the thread that
// opens the client or closes the port.
namespace JackGraph {

// Returns once every change made to the graph so far has been announced to
// all clients and they have handled it (bounded to about half a second).
//
// Why: libjack (jackd2 1.9.21) handles the latency announcement that follows
// every graph change on a client's notification thread by walking that
// client's list of its own ports, while jack_port_unregister removes a port
// from the list on the caller's thread with no lock between the two. If they
// meet, the notification thread follows a freed list node and the process
// crashes. A change is announced in the cycle after it is made, so two cycle
// starts followed by one request to the server (which answers its requests
// and announcements in turn) leave no announcement of earlier changes pending.
void awaitAnnouncements(jack_client_t *client);

// A client of the server that a default client reaches now (not yet
// activated), opened again when libjack kept a departed client's wake-up
// object while opening it (see jackgraph.cpp): every JACK client of ours is
// opened here. Null when no server runs. Never starts a server.
jack_client_t *openClient(const std::string &name);

} // namespace JackGraph

#endif
