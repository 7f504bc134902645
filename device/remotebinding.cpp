#include "remotebinding.h"

#include <QStringList>

namespace {

// A decimal number from low to high, or the word for "any" as anyValue.
std::optional<int> field(const QString &text, int low, int high, const char *anyWord, int anyValue)
{
    if (anyWord && text == QLatin1String(anyWord))
        return anyValue;
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok || value < low || value > high || text.startsWith('+'))
        return std::nullopt;
    return value;
}

QString channelText(int channel)
{
    return channel == RemoteBinding::anyChannel ? QStringLiteral("any") : QString::number(channel);
}

QString channelWords(int channel)
{
    return channel == RemoteBinding::anyChannel ? QStringLiteral("any channel")
                                                : QStringLiteral("channel %1").arg(channel);
}

} // namespace

RemoteBinding::RemoteBinding(Kind kind, int channel, int number, int velocity)
    : bindingKind(kind), bindingChannel(channel), bindingNumber(number), bindingVelocity(velocity)
{
}

RemoteBinding RemoteBinding::note(int channel, int note, int velocity)
{
    return RemoteBinding(Kind::Note, channel, note, velocity);
}

RemoteBinding RemoteBinding::control(int channel, int controller)
{
    return RemoteBinding(Kind::Control, channel, controller, 0);
}

RemoteBinding RemoteBinding::program(int channel, int program)
{
    return RemoteBinding(Kind::Program, channel, program, 0);
}

RemoteBinding RemoteBinding::learnt(const ByteVector &message)
{
    if (message.size() < 2 || message[0] < 0x80 || message[0] >= 0xF0 || message[1] > 0x7F)
        return RemoteBinding();
    const int channel = (message[0] & 0x0F) + 1;
    const int type = message[0] & 0xF0;
    if (type == 0xC0)
        return program(channel, message[1]);
    if (message.size() < 3 || message[2] > 0x7F)
        return RemoteBinding();
    if (type == 0xB0)
        return control(channel, message[1]);
    if (type == 0x90)
        return note(channel, message[1], message[2] == 0 ? 0 : anyVelocity);
    // Bridges deliver a Note On at velocity 0 as a Note Off.
    if (type == 0x80)
        return note(channel, message[1], 0);
    return RemoteBinding();
}

QString RemoteBinding::toText() const
{
    switch (bindingKind) {
    case Kind::Note:
        return QStringLiteral("note %1 %2 %3")
            .arg(channelText(bindingChannel))
            .arg(bindingNumber)
            .arg(bindingVelocity == anyVelocity ? QStringLiteral("on")
                                                : QString::number(bindingVelocity));
    case Kind::Control:
        return QStringLiteral("cc %1 %2").arg(channelText(bindingChannel)).arg(bindingNumber);
    case Kind::Program:
        return QStringLiteral("program %1 %2").arg(channelText(bindingChannel)).arg(bindingNumber);
    case Kind::None:
        break;
    }
    return QString();
}

std::optional<RemoteBinding> RemoteBinding::fromText(const QString &text)
{
    const QString plain = text.simplified().toLower();
    if (plain.isEmpty())
        return RemoteBinding();
    const QStringList words = plain.split(' ');
    const int wanted = words[0] == "note" ? 4 : words[0] == "cc" || words[0] == "program" ? 3 : 0;
    if (words.size() != wanted)
        return std::nullopt;
    const auto channel = field(words[1], 1, 16, "any", anyChannel);
    const auto number = field(words[2], 0, 127, nullptr, 0);
    const auto velocity = wanted == 4 ? field(words[3], 0, 127, "on", anyVelocity) : 0;
    if (!channel || !number || !velocity)
        return std::nullopt;
    if (words[0] == "note")
        return note(*channel, *number, *velocity);
    return words[0] == "cc" ? control(*channel, *number) : program(*channel, *number);
}

QString RemoteBinding::words() const
{
    switch (bindingKind) {
    case Kind::Note:
        return QStringLiteral("Note %1 velocity %2, %3")
            .arg(bindingNumber)
            .arg(bindingVelocity == anyVelocity ? QStringLiteral("1–127")
                                                : QString::number(bindingVelocity))
            .arg(channelWords(bindingChannel));
    case Kind::Control:
        return QStringLiteral("CC %1 ≥ 64, %2")
            .arg(bindingNumber)
            .arg(channelWords(bindingChannel));
    case Kind::Program:
        return QStringLiteral("Program %1, %2")
            .arg(bindingNumber)
            .arg(channelWords(bindingChannel));
    case Kind::None:
        break;
    }
    return QStringLiteral("—");
}

bool RemoteBinding::overlaps(const RemoteBinding &other) const
{
    if (bindingKind == Kind::None || bindingKind != other.bindingKind ||
        bindingNumber != other.bindingNumber)
        return false;
    if (bindingChannel != other.bindingChannel && bindingChannel != anyChannel &&
        other.bindingChannel != anyChannel)
        return false;
    if (bindingKind != Kind::Note || bindingVelocity == other.bindingVelocity)
        return true;
    // Any velocity above 0 meets every exact velocity, and 0 as its own
    // release: a key's release must not fire what its press did not.
    return bindingVelocity == anyVelocity || other.bindingVelocity == anyVelocity;
}

ByteVector RemoteBinding::lamp(bool on) const
{
    if (bindingKind != Kind::Note && bindingKind != Kind::Control)
        return ByteVector();
    const int channel = bindingChannel == anyChannel ? 1 : bindingChannel;
    const int type = bindingKind == Kind::Note ? 0x90 : 0xB0;
    return {static_cast<unsigned char>(type + channel - 1),
            static_cast<unsigned char>(bindingNumber), static_cast<unsigned char>(on ? 127 : 0)};
}

bool RemoteBinding::operator==(const RemoteBinding &other) const
{
    return bindingKind == other.bindingKind && bindingChannel == other.bindingChannel &&
           bindingNumber == other.bindingNumber && bindingVelocity == other.bindingVelocity;
}
