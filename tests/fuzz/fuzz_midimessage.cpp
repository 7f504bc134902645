// Fuzz target: received bytes decoded into a message object as the input
// port does it, and the wire form built back from the decoded fields.
#include "fuzzcheck.h"
#include "qmidimessage.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

using Bytes = std::vector<unsigned char>;

namespace {

// The wire form that the decoded fields must give: the channel message
// itself for the kinds that have one, the SysEx message closed by F7, and
// nothing for the rest.
Bytes expectedWireForm(const Bytes &received)
{
    const int status = received[0] < 0xF0 ? received[0] & 0xF0 : received[0];
    const auto head = [&received](size_t n) {
        Bytes bytes(received.begin(), received.begin() + std::min(n, received.size()));
        bytes.resize(n, 0); // bytes the library would have delivered read as 0
        return bytes;
    };
    switch (status) {
    case 0x80:
    case 0x90:
    case 0xB0:
        return head(3);
    case 0xC0:
        return head(2);
    case 0xF0: {
        Bytes bytes = received;
        if (bytes.back() != 0xF7)
            bytes.push_back(0xF7);
        return bytes;
    }
    default:
        return {};
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const Bytes received(data, data + size);
    QMidiMessage message;
    message.decode(received, 0.0125);
    FUZZ_CHECK(message.timeStamp() == 12.5);
    if (received.empty())
        return 0;

    const int b0 = received[0];
    FUZZ_CHECK(message.status() == (b0 < 0xF0 ? (b0 & 0xF0) : b0));
    FUZZ_CHECK(message.channel() == (b0 < 0xF0 ? (b0 & 0x0F) + 1 : 0));
    FUZZ_CHECK(message.sysExData() == (b0 == 0xF0 ? received : Bytes()));

    const Bytes wire = message.rawMessage();
    FUZZ_CHECK(wire == expectedWireForm(received));
    // The wire form, once built, stays what it was.
    message.setPitch(message.pitch() + 1)->setValue(message.value() + 1);
    FUZZ_CHECK(message.rawMessage() == wire);
    QMidiMessage copy(message);
    FUZZ_CHECK(copy.rawMessage() == wire);
    message.clear();
    FUZZ_CHECK(message.rawMessage().empty());
    return 0;
}
