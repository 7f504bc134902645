#ifndef MIDILIBRARYPORT_H
#define MIDILIBRARYPORT_H

#include "midiportsupport.h"
#include "midiservicewatch.h"

#include <RtMidi.h>

#include <functional>
#include <memory>

// The library object behind a port object, with a watch on the JACK server
// under it. When that server stops, the object is unusable for good (and a
// client of a new server must not open while it lives), so it is released at
// once and made anew at the next use. GUI thread; only the watch's notice
// comes from JACK's thread.
class MidiLibraryPort
{
public:
    using Factory = std::function<MidiPortSupport::LibraryObject()>;

    MidiLibraryPort(Factory make, std::function<void()> onLost)
        : make(std::move(make)), onLost(std::move(onLost))
    {
        create();
    }
    ~MidiLibraryPort() { release(); }
    MidiLibraryPort(const MidiLibraryPort &) = delete;
    MidiLibraryPort &operator=(const MidiLibraryPort &) = delete;

    RtMidi *get() const { return port.get(); }

    // The object to use now: a fresh one after the server went away (or when
    // none could be made before), else the current one.
    RtMidi *renewed()
    {
        if (!port || (watch && watch->lost())) {
            release();
            create();
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
        watch.reset();
        port.reset(); // a JACK port waits for the graph's announcements before it goes
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
        if (std::shared_ptr<JackMidiClient> client = MidiPortSupport::jackClient(port.get()))
            watch = std::make_unique<MidiServiceWatch>(std::move(client), onLost);
    }

    Factory make;
    std::function<void()> onLost;
    MidiPortSupport::LibraryObject port;
    std::unique_ptr<MidiServiceWatch> watch;
};

#endif
