#include "qmidimessage.h"

QMidiMessage::QMidiMessage(QObject *parent) : QObject(parent) {}

QMidiMessage *QMidiMessage::setStatus(int status)
{
    m_status = status;
    return this;
}

QMidiMessage *QMidiMessage::setPitch(int pitch)
{
    m_pitch = pitch;
    return this;
}

QMidiMessage *QMidiMessage::setVelocity(int velocity)
{
    m_velocity = velocity;
    return this;
}

QMidiMessage *QMidiMessage::setSysExData(const std::vector<unsigned char> &data)
{
    m_sysExData = data;
    return this;
}

std::vector<unsigned char> QMidiMessage::rawMessage()
{
    if (!m_rawMessage.empty())
        return m_rawMessage;

    // Every byte is the low eight bits of its field; data bytes are not masked
    // to seven bits, so a caller's value goes out as given.
    const auto byte = [](int v) { return static_cast<unsigned char>(v & 0xFF); };
    const unsigned char first = byte(m_status + m_channel - 1);
    switch (m_status) {
    case 0x80:
    case 0x90:
        m_rawMessage = {first, byte(m_pitch), byte(m_velocity)};
        break;
    case 0xB0:
        m_rawMessage = {first, byte(m_control), byte(m_value)};
        break;
    case 0xC0:
        m_rawMessage = {first, byte(m_value)};
        break;
    case 0xF0:
        m_rawMessage = m_sysExData;
        if (m_rawMessage.empty() || m_rawMessage.back() != 0xF7)
            m_rawMessage.push_back(0xF7);
        break;
    case 0xF3: // Song Select
        m_rawMessage = {0xF3, byte(m_value)};
        break;
    default:
        break;
    }
    return m_rawMessage;
}

void QMidiMessage::decode(const std::vector<unsigned char> &bytes, double deltaSeconds)
{
    // A service may hand over a truncated message; a missing byte reads as 0.
    const auto at = [&bytes](size_t i) -> int { return i < bytes.size() ? bytes[i] : 0; };
    const int b0 = at(0);
    if (b0 < 0xF0) {
        m_status = b0 & 0xF0;
        m_channel = (b0 & 0x0F) + 1;
    } else {
        m_status = b0;
        m_channel = 0;
    }
    m_timeStamp = deltaSeconds * 1000.0;

    switch (m_status) {
    case 0x80:
    case 0x90:
        m_pitch = at(1);
        m_velocity = at(2);
        break;
    case 0xA0:
        m_pitch = at(1);
        m_value = at(2);
        break;
    case 0xB0:
        m_control = at(1);
        m_value = at(2);
        break;
    case 0xC0:
    case 0xD0:
        m_value = at(1);
        break;
    case 0xE0:
        m_value = at(2) * 128 + at(1);
        break;
    case 0xF0:
        m_sysExData = bytes;
        break;
    case 0xF3:
        m_value = at(1);
        break;
    default:
        break;
    }
}
