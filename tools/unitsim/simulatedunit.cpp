#include "simulatedunit.h"

namespace {

enum class Request
{
    None,
    InitStatus,
    Preset
};

// The kind of an addressed request, judged by its length and its bytes behind the address.
Request requestKind(const ByteVector &m)
{
    if (m.size() == 12 && m[0] == 0xF0 && m[9] == 0x02 && m[10] == 0x01 && m[11] == 0xF7)
        return Request::InitStatus;
    if (m.size() == 14 && m[0] == 0xF0 && m[9] == 0x02 && m[10] == 0x06 && m[12] == 0x07 &&
        m[13] == 0xF7)
        return Request::Preset;
    return Request::None;
}

std::string hex(const ByteVector &bytes)
{
    return toHexString(bytes, QLatin1Char(' ')).toStdString();
}

} // namespace

SimulatedUnit::SimulatedUnit(const ByteVector &serial) : unitSerial(serial) {}

SimulatedUnit::Answer SimulatedUnit::receive(const ByteVector &message)
{
    Answer answer = answerTo(message);
    if (!answer.reply.empty() && dropped < dropFirst) {
        ++dropped;
        return {{},
                "unit: lost request " + std::to_string(dropped) + " of the first " +
                    std::to_string(dropFirst) + " after opening"};
    }
    answer.delayMs = answer.reply.empty() ? 0 : delayMs;
    return answer;
}

SimulatedUnit::Answer SimulatedUnit::answerTo(const ByteVector &message)
{
    if (message == makeSerialRequest()) {
        if (silent)
            return {{}, "unit: silent, not answering the serial request"};
        return {serialReply(), "unit: serial request, answering with serial " + hex(unitSerial)};
    }
    const Request kind = requestKind(message);
    if (kind == Request::None)
        return {{}, "unit: ignored, not a request"};
    const ByteVector address(message.begin() + 1, message.begin() + 9);
    const std::string name = kind == Request::InitStatus ? "init status request" : "preset request";
    if (address != unitSerial)
        return {{},
                "unit: ignored " + name + " for serial " + hex(address) + " (this unit is " +
                    hex(unitSerial) + ")"};
    if (silent)
        return {{}, "unit: silent, not answering the " + name};
    if (kind == Request::InitStatus)
        return {statusReply(), "unit: init status request, " + presetText()};
    const int index = message[11];
    if (index > 5)
        return {{},
                "unit: ignored preset request for index " + std::to_string(index) +
                    " (only 0 to 5)"};
    if (dropped < dropFirst)
        return {statusReply(), "unit: preset request"}; // lost before it acts on it
    currentPreset = index + 1;
    return {statusReply(), "unit: preset request, " + presetText()};
}

SimulatedUnit::Answer SimulatedUnit::choosePreset(int preset)
{
    if (preset < 0 || preset > 6)
        return {{}, "unit: no preset " + std::to_string(preset) + " (0 to 6)"};
    currentPreset = preset;
    if (silent)
        return {{}, "unit: front panel, " + presetText() + " (silent, nothing sent)"};
    return {statusReply(), "unit: front panel, " + presetText()};
}

ByteVector SimulatedUnit::serialReply() const
{
    ByteVector reply{0xF0};
    reply.insert(reply.end(), unitSerial.begin(), unitSerial.end());
    reply.insert(reply.end(), {0x02, 0x00, 0xF7});
    return reply;
}

ByteVector SimulatedUnit::statusReply() const
{
    ByteVector reply{0xF0};
    reply.insert(reply.end(), unitSerial.begin(), unitSerial.end());
    reply.insert(reply.end(), {0x01, static_cast<unsigned char>(currentPreset), 0xF7});
    return reply;
}

std::string SimulatedUnit::presetText() const
{
    return currentPreset ? "preset " + std::to_string(currentPreset) : "no preset";
}
