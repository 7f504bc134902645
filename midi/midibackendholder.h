#ifndef MIDIBACKENDHOLDER_H
#define MIDIBACKENDHOLDER_H

#include "midiinputbackend.h"
#include "midioutputbackend.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>

// The back end under a port object (Backend: MidiInputBackend or
// MidiOutputBackend), told when the service under it stops. When a JACK
// server stops, the back end is unusable for good (and a client of a new
// server must not open while it lives), so it is released at once and made
// anew at the next use; so is the stand-in held while no service exists.
// GUI thread; only the notice of a stop comes from the service's thread.
template <class Backend> class MidiBackendHolder
{
public:
    // The factory never returns null (see MidiPortSupport).
    using Factory = std::function<std::unique_ptr<Backend>()>;

    MidiBackendHolder(Factory make, std::function<void()> onLost);
    ~MidiBackendHolder();
    MidiBackendHolder(const MidiBackendHolder &) = delete;
    MidiBackendHolder &operator=(const MidiBackendHolder &) = delete;

    // The back end as it is now, usable or not.
    Backend &current() { return *backend; }
    // A usable back end: a fresh one when the one held is not (its server went
    // away, or there was no service before). Throws RtMidiError when even a
    // fresh one has no service.
    Backend &service();

    // The port names in index order, as UTF-8 decoded text.
    QStringList portNames();
    // Opens the port at index and returns the name it had in the list. Throws
    // RtMidiError when there is no service or the index is not a current port
    // (some back ends would otherwise "open" nothing).
    QString openPort(unsigned int index, const std::string &ourName);
    void closePort() { backend->closePort(); }
    bool isPortOpen() const { return backend->usable() && backend->isPortOpen(); }

    // Called once the loss has been noticed, on the GUI thread.
    void releaseIfLost();

private:
    Backend &renewed();
    void create();
    // Stops the notices first: a JACK port waits for the graph's
    // announcements before it goes.
    void release();

    Factory make;
    std::function<void()> onLost;
    std::unique_ptr<Backend> backend;
};

extern template class MidiBackendHolder<MidiInputBackend>;
extern template class MidiBackendHolder<MidiOutputBackend>;

#endif
