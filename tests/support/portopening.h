#ifndef PORTOPENING_H
#define PORTOPENING_H

class MidiPeer;
class QMidiIn;
class QMidiOut;

// Opening the program's port objects on a MidiPeer the way the program does
// it: look the name up in portNames and open that position. Tests running in
// parallel add and remove ports on the same server, which can shift the
// positions between the two calls; so the helpers check that the peer really
// got the connection and try again (closing the wrong one, or after an
// RtMidiError for a position that had gone) if not. GUI thread.
namespace PortOpening {

// Opens in on the peer's output. True when connected to it.
bool openFrom(QMidiIn &in, MidiPeer &peer);
// Opens out on the peer's input and waits until the connection has settled.
bool openTo(QMidiOut &out, MidiPeer &peer);

} // namespace PortOpening

#endif
