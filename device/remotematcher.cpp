#include "remotematcher.h"

std::optional<RemoteAction> RemoteMatcher::take(const RemoteBindings &bindings,
                                                const ByteVector &message)
{
    // As the message objects read it: a byte the status needs but that is
    // missing reads as 0, so a Note On cut short is one at velocity 0.
    const auto at = [&message](size_t i) -> int { return i < message.size() ? message[i] : 0; };
    const int status = at(0);
    if (status < 0x80 || status >= 0xF0 || at(1) > 0x7F || at(2) > 0x7F)
        return std::nullopt;
    const int type = status & 0xF0;
    const int channel = (status & 0x0F) + 1;
    const int number = at(1);
    bool rose = false;
    if (type == 0xB0) {
        unsigned char &last = lastValue[(channel - 1) * 128 + number];
        rose = last < 64 && at(2) >= 64;
        last = static_cast<unsigned char>(at(2));
    }
    // Only a Note On: the pad controller's foot switch has always been a Note
    // On at velocity 0, and its Note Off never pressed it.
    RemoteBinding::Kind kind = RemoteBinding::Kind::None;
    if (type == 0x90)
        kind = RemoteBinding::Kind::Note;
    else if (type == 0xB0 && rose)
        kind = RemoteBinding::Kind::Control;
    else if (type == 0xC0)
        kind = RemoteBinding::Kind::Program;
    else
        return std::nullopt;
    const int velocity = at(2);
    for (int i = 0; i < RemoteBindings::actionCount; ++i) {
        const RemoteBinding &binding = bindings.at(RemoteBindings::action(i));
        if (binding.kind() != kind || binding.number() != number ||
            (binding.channel() != RemoteBinding::anyChannel && binding.channel() != channel))
            continue;
        if (kind == RemoteBinding::Kind::Note &&
            (binding.velocity() == RemoteBinding::anyVelocity ? velocity == 0
                                                              : binding.velocity() != velocity))
            continue;
        return RemoteBindings::action(i);
    }
    return std::nullopt;
}
