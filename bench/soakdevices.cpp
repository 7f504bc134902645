#include "soakdevices.h"

#include "benchpeer.h"
#include "hardmessages.h"
#include "jackmidiclient.h"
#include "midiportpair.h"
#include "remoteprotocol.h"

#include <RtMidi.h>

namespace {

enum Source
{
    FromUnit,
    FromPads
};

// The unit's or the pads' ports.
std::unique_ptr<MidiPortPair> devicePorts(const char *device, bool unit, MessageQueue &queue)
{
    const std::string name = std::string("soak-") + device;
    return std::make_unique<MidiPortPair>(
        RtMidi::Api(BenchPeer::api()),
        MidiPortPair::Names{"tarn-soak", name + " In", name + " Out", std::string(device) + "-in",
                            std::string(device) + "-out"},
        unit, queue, unit ? FromUnit : FromPads);
}

} // namespace

SoakDevices::SoakDevices(const ByteVector &serial) : unit(serial)
{
    plugAll();
}

SoakDevices::~SoakDevices()
{
    unplugAll();
}

void SoakDevices::plugUnit()
{
    m_unitPorts = devicePorts("unit", true, m_queue);
}

void SoakDevices::unplugUnit()
{
    m_unitPorts.reset();
}

void SoakDevices::plugPads()
{
    pads = SimulatedPads();
    m_padsPorts = devicePorts("pads", false, m_queue);
}

void SoakDevices::unplugPads()
{
    m_padsPorts.reset();
}

void SoakDevices::unplugAll()
{
    unplugUnit();
    unplugPads();
    m_jackClient.reset();
}

void SoakDevices::plugAll()
{
    if (!BenchPeer::onAlsa())
        m_jackClient = JackMidiClient::shared("tarn-soak");
    plugUnit();
    plugPads();
}

void SoakDevices::press(const ByteVector &bytes)
{
    m_padsPorts->send(bytes);
}

void SoakDevices::take()
{
    for (MessageQueue::Entry &entry : m_queue.takeAll()) {
        if (entry.source == FromPads) {
            lampNotes += pads.receive(entry.bytes);
            continue;
        }
        const Clock::time_point now = Clock::now();
        const ByteVector &bytes = entry.bytes;
        ++unitHeard;
        if (bytes == makeSerialRequest())
            ++serialRequests;
        else if (bytes.size() == 14 && bytes[10] == 0x06) {
            ++presetRequests;
            lastRequestedIndex = bytes[11];
            lastRequestTime = now;
        }
        const SimulatedUnit::Answer answer = unit.receive(bytes);
        if (!answer.reply.empty() && m_unitPorts) {
            m_unitPorts->send(answer.reply);
            ++unitReplies;
        }
    }
}

int SoakDevices::litPad() const
{
    int lit = -1;
    for (int pad = 0; pad < RemoteProtocol::PadCount; ++pad)
        lit = pads.isLit(pad) ? pad : lit;
    return lit;
}

bool SoakDevices::lampsShowUnit() const
{
    for (int pad = 0; pad < RemoteProtocol::PadCount; ++pad) {
        if (pads.isLit(pad) != (pad == unit.preset() - 1))
            return false;
    }
    return true;
}
