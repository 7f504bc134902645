#ifndef RTMIDIBACKEND_H
#define RTMIDIBACKEND_H

#include "midibackend.h"

#include <memory>

// A port on one of RtMidi's services (ALSA, CoreMIDI, Windows), as an input
// or an output. Owner's thread; an input's callback runs on RtMidi's thread.
class RtMidiBackend : public MidiBackend
{
public:
    explicit RtMidiBackend(std::unique_ptr<RtMidiIn> input);
    explicit RtMidiBackend(std::unique_ptr<RtMidiOut> output);

    RtMidi::Api api() const override { return service; }
    unsigned int portCount() override { return library->getPortCount(); }
    std::string portName(unsigned int index) override;
    bool isOwnPort(const std::string &listed) override;
    void openPort(unsigned int index, const std::string &ourName) override;
    void openVirtualPort(const std::string &name) override { library->openVirtualPort(name); }
    void closePort() override { library->closePort(); }
    bool isPortOpen() const override { return library->isPortOpen(); }

    void setCallback(RtMidiIn::RtMidiCallback callback, void *userData) override;
    void ignoreTypes(bool midiSysex, bool midiTime, bool midiSense) override;
    void sendMessage(const std::vector<unsigned char> &bytes) override;

private:
    // One of the two; library is the one there is.
    std::unique_ptr<RtMidiIn> input;
    std::unique_ptr<RtMidiOut> output;
    RtMidi *library;
    RtMidi::Api service;
};

#endif
