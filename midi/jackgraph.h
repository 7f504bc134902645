#ifndef JACKGRAPH_H
#define JACKGRAPH_H

#include <initializer_list>

class RtMidi;
typedef struct _jack_client jack_client_t;

// Waiting out the JACK server's announcements of graph changes, for code that
// is about to take a port away. Called on the thread that closes the port.
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

// Closes the ports of these library objects one after the other, each after
// awaitAnnouncements; null entries are skipped. For objects used directly,
// without a port object in front of them.
void closePorts(jack_client_t *client, std::initializer_list<RtMidi *> ports);

} // namespace JackGraph

#endif
