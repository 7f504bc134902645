#include "echoclient.h"

#include "simulateddevice.h"

#include <RtMidi.h>

namespace {

unsigned int portIndex(RtMidi &lister, const std::string &name)
{
    for (unsigned int i = 0; i < lister.getPortCount(); ++i) {
        if (lister.getPortName(i) == name)
            return i;
    }
    throw RtMidiError("no port named \"" + name + "\"", RtMidiError::INVALID_PARAMETER);
}

} // namespace

EchoClient::EchoClient(const std::string &sourcePort, const std::string &sinkPort)
{
    m_out = std::make_unique<RtMidiOut>(SimulatedDevice::serviceApi(), "bench-echo-tx");
    m_out->openPort(portIndex(*m_out, sinkPort), "out");
    m_in = std::make_unique<RtMidiIn>(SimulatedDevice::serviceApi(), "bench-echo-rx");
    m_in->ignoreTypes(false, false, false);
    m_in->setCallback(&EchoClient::onMessage, this);
    m_in->openPort(portIndex(*m_in, sourcePort), "in");
}

EchoClient::~EchoClient()
{
    // No callback may reach the output once it is gone.
    m_in.reset();
    m_out.reset();
}

void EchoClient::onMessage(double, std::vector<unsigned char> *message, void *userData)
{
    static_cast<EchoClient *>(userData)->m_out->sendMessage(message);
}
