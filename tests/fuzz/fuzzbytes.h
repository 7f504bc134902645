#ifndef FUZZBYTES_H
#define FUZZBYTES_H

#include <cstddef>
#include <cstdint>
#include <vector>

// Cuts a fuzz input into the MIDI messages that a port would deliver one by
// one. Plain functions; any thread.
namespace FuzzBytes {

using Bytes = std::vector<unsigned char>;

// Each message ends after an F7 (the end of a SysEx message) or at the end of
// the input; whatever lies between is taken as it is, as a device that
// breaks the rules might send it.
std::vector<Bytes> splitAfterSysExEnd(const uint8_t *data, size_t size);

// Each message starts at a status byte (0x80 and above); data bytes belong
// to the message before them, and leading data bytes form a message of
// their own.
std::vector<Bytes> splitAtStatusBytes(const uint8_t *data, size_t size);

} // namespace FuzzBytes

#endif
