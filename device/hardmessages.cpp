#include "hardmessages.h"

#include <algorithm>

namespace {

ByteVector addressed(const ByteVector &serial, std::initializer_list<unsigned char> tail)
{
    ByteVector message;
    message.reserve(1 + serial.size() + tail.size());
    message.push_back(0xF0);
    for (unsigned char byte : serial)
        message.push_back(byte);
    for (unsigned char byte : tail)
        message.push_back(byte);
    return message;
}

} // namespace

ByteVector makeSerialRequest()
{
    return {0xF0, 0x00, 0x11, 0x22, 0x0A, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0xF7};
}

ByteVector makeInitStatusRequest(const ByteVector &serial)
{
    return addressed(serial, {0x02, 0x01, 0xF7});
}

ByteVector makePresetRequest(const ByteVector &serial, unsigned char preset)
{
    return addressed(serial, {0x02, 0x06, preset, 0x07, 0xF7});
}

HardReply parseHardReply(const ByteVector &message)
{
    HardReply reply;
    const size_t n = message.size();
    if (n < 10)
        return reply;
    reply.serial.assign(message.begin() + 1, message.begin() + 9);
    if (n < 11)
        return reply;
    reply.isStatus = message[9] == 0x01;
    // An 11-byte message has no room for a preset byte before its end byte.
    if (n == 11)
        return reply;
    const auto end = std::find(message.begin() + 10, message.end(), 0xF7);
    if (end == message.end())
        return reply;
    reply.preset = static_cast<int>(*(end - 1)) - 1;
    return reply;
}

QString toHexString(const ByteVector &bytes, QChar separator)
{
    static const char digits[] = "0123456789ABCDEF";
    QString text;
    text.reserve(bytes.empty() ? 0 : int(bytes.size()) * 3 - 1);
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i)
            text += separator;
        text += QLatin1Char(digits[bytes[i] >> 4]);
        text += QLatin1Char(digits[bytes[i] & 0x0F]);
    }
    return text;
}
