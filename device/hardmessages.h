#ifndef HARDMESSAGES_H
#define HARDMESSAGES_H

#include <QString>

#include <vector>

// The unit's SysEx message set: the requests the program sends, the decoding
// of the unit's replies and the hexadecimal text of byte vectors. Pure
// functions; any thread.

using ByteVector = std::vector<unsigned char>;

// One SysEx message from the unit, decoded.
struct HardReply
{
    ByteVector serial; // bytes 1 to 8, empty when the message is shorter than 10 bytes
    bool isStatus = false;
    int preset = -1; // zero-based; -1 when none is reported
};

ByteVector makeSerialRequest();
ByteVector makeInitStatusRequest(const ByteVector &serial);
ByteVector makePresetRequest(const ByteVector &serial, unsigned char preset);
HardReply parseHardReply(const ByteVector &message);
QString toHexString(const ByteVector &bytes, QChar separator);

#endif
