#ifndef RTMIDIOUTBACKEND_H
#define RTMIDIOUTBACKEND_H

#include "midioutputbackend.h"
#include "rtmidibackend.h"

#include <memory>

// An output on one of RtMidi's services. Owner's thread.
class RtMidiOutBackend : public RtMidiBackend, public MidiOutputBackend
{
public:
    explicit RtMidiOutBackend(std::unique_ptr<RtMidiOut> made)
        : RtMidiBackend(*made, made->getCurrentApi()), output(std::move(made))
    {
    }

    void sendMessage(const std::vector<unsigned char> &bytes) override
    {
        output->sendMessage(&bytes);
    }

private:
    std::unique_ptr<RtMidiOut> output;
};

#endif
