#ifndef ECHOCLIENT_H
#define ECHOCLIENT_H

#include <memory>
#include <string>
#include <vector>

class RtMidiIn;
class RtMidiOut;

// The MIDI service's own floor: a minimal RtMidi client that opens two ports
// by name, as the program does, and sends every message it receives straight
// back out from the library's callback (its own thread). Made on the
// main thread, which then only waits.
class EchoClient
{
public:
    // Connects its input to sourcePort and its output to sinkPort; throws
    // RtMidiError when either is missing.
    EchoClient(const std::string &sourcePort, const std::string &sinkPort);
    ~EchoClient();
    EchoClient(const EchoClient &) = delete;
    EchoClient &operator=(const EchoClient &) = delete;

private:
    static void onMessage(double deltaTime, std::vector<unsigned char> *message, void *userData);

    std::unique_ptr<RtMidiIn> m_in;
    std::unique_ptr<RtMidiOut> m_out;
};

#endif
