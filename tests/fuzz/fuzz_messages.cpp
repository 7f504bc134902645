// Fuzz target: bytes as a MIDI port delivers them, decoded into a message and
// parsed as a reply of the unit. No Qt application, no window.

#include "fuzzharness.h"
#include "hardmessages.h"
#include "qmidimessage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::vector<unsigned char> bytes(data, data + size);
    QMidiMessage message;
    message.decode(bytes, 0.0);
    // A SysEx message keeps exactly the bytes received.
    FUZZ_CHECK(message.status() != 0xF0 || message.sysExData() == bytes);
    const HardReply reply = parseHardReply(bytes);
    FUZZ_CHECK(reply.serial.size() <= 8);
    const QString hex = toHexString(bytes, QLatin1Char(' '));
    FUZZ_CHECK(hex.size() == (size ? int(size) * 3 - 1 : 0));
    return 0;
}
