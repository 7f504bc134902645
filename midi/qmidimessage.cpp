#include "qmidimessage.h"

QMidiMessage::QMidiMessage(QObject *parent) : QObject(parent) {}

QMidiMessage *QMidiMessage::setStatus(int status)
{
    statusByte = status;
    return this;
}

QMidiMessage *QMidiMessage::setPitch(int pitch)
{
    noteNumber = pitch;
    return this;
}

QMidiMessage *QMidiMessage::setVelocity(int velocity)
{
    noteVelocity = velocity;
    return this;
}

QMidiMessage *QMidiMessage::setSysExData(const std::vector<unsigned char> &data)
{
    sysEx = data;
    return this;
}

std::vector<unsigned char> QMidiMessage::rawMessage()
{
    if (!wireBytes.empty())
        return wireBytes;

    // Every byte is the low eight bits of its field; data bytes are not masked
    // to seven bits, so a caller's value goes out as given.
    const auto byte = [](int v) { return static_cast<unsigned char>(v & 0xFF); };
    const unsigned char first = byte(statusByte + channelNumber - 1);
    switch (statusByte) {
    case 0x80:
    case 0x90:
        wireBytes = {first, byte(noteNumber), byte(noteVelocity)};
        break;
    case 0xB0:
        wireBytes = {first, byte(controlNumber), byte(controlValue)};
        break;
    case 0xC0:
        wireBytes = {first, byte(controlValue)};
        break;
    case 0xF0:
        wireBytes = sysEx;
        if (wireBytes.empty() || wireBytes.back() != 0xF7)
            wireBytes.push_back(0xF7);
        break;
    case 0xF3: // Song Select
        wireBytes = {0xF3, byte(controlValue)};
        break;
    default:
        break;
    }
    return wireBytes;
}

void QMidiMessage::decode(const std::vector<unsigned char> &bytes, double deltaSeconds)
{
    // A service may hand over a truncated message; a missing byte reads as 0.
    const auto at = [&bytes](size_t i) -> int { return i < bytes.size() ? bytes[i] : 0; };
    const int b0 = at(0);
    if (b0 < 0xF0) {
        statusByte = b0 & 0xF0;
        channelNumber = (b0 & 0x0F) + 1;
    } else {
        statusByte = b0;
        channelNumber = 0;
    }
    deltaTime = deltaSeconds * 1000.0;

    switch (statusByte) {
    case 0x80:
    case 0x90:
        noteNumber = at(1);
        noteVelocity = at(2);
        break;
    case 0xA0:
        noteNumber = at(1);
        controlValue = at(2);
        break;
    case 0xB0:
        controlNumber = at(1);
        controlValue = at(2);
        break;
    case 0xC0:
    case 0xD0:
        controlValue = at(1);
        break;
    case 0xE0:
        controlValue = at(2) * 128 + at(1);
        break;
    case 0xF0:
        sysEx = bytes;
        break;
    case 0xF3:
        controlValue = at(1);
        break;
    default:
        break;
    }
}
