#ifndef MIDILIBRARYPORT_H
#define MIDILIBRARYPORT_H

#include "midiservicewatch.h"

#include <RtMidi.h>

#include <functional>
#include <memory>

// The RtMidi object behind a port object, with a watch on the JACK server
// under it. When that server stops, the object is unusable for good (and a
// client of a new server must not open while it lives), so it is released at
// once and made anew at the next use. GUI thread; only the watch's notice
// comes from JACK's thread.
template <class Port> class MidiLibraryPort
{
public:
    using Factory = std::function<std::unique_ptr<Port>()>;

    MidiLibraryPort(Factory make, std::function<void()> onLost)
        : make(std::move(make)), onLost(std::move(onLost))
    {
        create();
    }
    ~MidiLibraryPort() { release(); }
    MidiLibraryPort(const MidiLibraryPort &) = delete;
    MidiLibraryPort &operator=(const MidiLibraryPort &) = delete;

    Port *get() const { return port.get(); }

    // The object to use now: a fresh one after the server went away (or when
    // none could be made before), else the current one.
    Port *renewed()
    {
        if (!port || (watch && watch->lost())) {
            release();
            create();
        } else if (watch) {
            watch->watch(); // a server may have started since the object was made
        }
        return port.get();
    }

    // The object to open a port on (see renewed); remembered as having a port
    // from then on, until it is closed.
    Port *forOpening()
    {
        Port *fresh = renewed();
        if (fresh)
            portMayExist = true;
        return fresh;
    }

    // Called once the loss has been noticed, on the GUI thread.
    void releaseIfLost()
    {
        if (watch && watch->lost())
            release();
    }

    void release()
    {
        if (port && portMayExist)
            awaitGraphAnnouncements(); // the library object closes its port
        port.reset();
        watch.reset();
        portMayExist = false;
    }

    bool isPortOpen() const { return port && !(watch && watch->lost()) && port->isPortOpen(); }

    void closePort()
    {
        if (!port)
            return;
        if (portMayExist)
            awaitGraphAnnouncements();
        port->closePort();
        portMayExist = false;
    }

private:
    // libjack can crash when a port goes while a graph change is being
    // announced (see JackGraph); the wait costs two cycles per port closed.
    void awaitGraphAnnouncements() const
    {
        if (watch)
            watch->awaitGraphAnnouncements();
    }

    void create()
    {
        port = make();
        if (port && port->getCurrentApi() == RtMidi::UNIX_JACK) {
            watch = std::make_unique<MidiServiceWatch>(onLost);
            watch->watch();
        }
    }

    Factory make;
    std::function<void()> onLost;
    std::unique_ptr<Port> port;
    std::unique_ptr<MidiServiceWatch> watch;
    bool portMayExist = false;
};

#endif
