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

    // Called once the loss has been noticed, on the GUI thread.
    void releaseIfLost()
    {
        if (watch && watch->lost())
            release();
    }

    void release()
    {
        port.reset();
        watch.reset();
    }

    bool isPortOpen() const { return port && !(watch && watch->lost()) && port->isPortOpen(); }

    void closePort()
    {
        if (port)
            port->closePort();
    }

private:
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
};

#endif
