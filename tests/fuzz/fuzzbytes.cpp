#include "fuzzbytes.h"

namespace FuzzBytes {

std::vector<Bytes> splitAfterSysExEnd(const uint8_t *data, size_t size)
{
    std::vector<Bytes> messages;
    Bytes current;
    for (size_t i = 0; i < size; ++i) {
        current.push_back(data[i]);
        if (data[i] == 0xF7) {
            messages.push_back(current);
            current.clear();
        }
    }
    if (!current.empty())
        messages.push_back(current);
    return messages;
}

std::vector<Bytes> splitAtStatusBytes(const uint8_t *data, size_t size)
{
    std::vector<Bytes> messages;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] >= 0x80 || messages.empty())
            messages.emplace_back();
        messages.back().push_back(data[i]);
    }
    return messages;
}

} // namespace FuzzBytes
