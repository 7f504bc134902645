#include "remotematcher.h"

namespace {

// One channel message as the matcher reads it.
struct Read
{
    int type = 0;
    int channel = 0; // 1 to 16
    int number = 0;
    int value = 0; // a Note Off reads as velocity 0
    int slot() const { return (channel - 1) * 128 + number; }
    bool isNote() const { return type == 0x80 || type == 0x90; }
};

std::optional<Read> read(const ByteVector &message)
{
    // As the message objects read it: a byte the status needs but that is
    // missing reads as 0, so a Note On cut short is one at velocity 0.
    const auto at = [&message](size_t i) -> int { return i < message.size() ? message[i] : 0; };
    const int status = at(0);
    if (status < 0x80 || status >= 0xF0 || at(1) > 0x7F || at(2) > 0x7F)
        return std::nullopt;
    Read m;
    m.type = status & 0xF0;
    m.channel = (status & 0x0F) + 1;
    m.number = at(1);
    // MIDI lets a Note Off stand for a Note On at velocity 0.
    m.value = m.type == 0x80 ? 0 : at(2);
    return m;
}

} // namespace

std::optional<RemoteAction> RemoteMatcher::take(const RemoteBindings &bindings,
                                                const ByteVector &message)
{
    const auto m = read(message);
    if (!m)
        return std::nullopt;
    bool rose = false;
    if (m->type == 0xB0) {
        unsigned char &last = lastValue[m->slot()];
        rose = last < 64 && m->value >= 64;
        last = static_cast<unsigned char>(m->value);
    }
    RemoteBinding::Kind kind = RemoteBinding::Kind::None;
    if (m->isNote()) {
        // A press starts anew, held only if it acts.
        const bool wasHeld = held[m->slot()];
        held.reset(m->slot());
        if (m->value == 0 && wasHeld)
            return std::nullopt;
        kind = RemoteBinding::Kind::Note;
    } else if (m->type == 0xB0 && rose) {
        kind = RemoteBinding::Kind::Control;
    } else if (m->type == 0xC0) {
        kind = RemoteBinding::Kind::Program;
    } else {
        return std::nullopt;
    }
    for (int i = 0; i < RemoteBindings::actionCount; ++i) {
        const RemoteBinding &binding = bindings.at(RemoteBindings::action(i));
        if (binding.kind() != kind || binding.number() != m->number ||
            (binding.channel() != RemoteBinding::anyChannel && binding.channel() != m->channel))
            continue;
        if (kind == RemoteBinding::Kind::Note &&
            (binding.velocity() == RemoteBinding::anyVelocity ? m->value == 0
                                                              : binding.velocity() != m->value))
            continue;
        if (kind == RemoteBinding::Kind::Note && m->value > 0)
            held.set(m->slot());
        return RemoteBindings::action(i);
    }
    return std::nullopt;
}

void RemoteMatcher::see(const ByteVector &message)
{
    const auto m = read(message);
    if (m && m->type == 0xB0)
        lastValue[m->slot()] = static_cast<unsigned char>(m->value);
    if (m && m->isNote())
        held.set(m->slot(), m->value > 0);
}

bool RemoteMatcher::isRelease(const ByteVector &message) const
{
    const auto m = read(message);
    return m && m->isNote() && m->value == 0 && held[m->slot()];
}

void RemoteMatcher::reset()
{
    lastValue.fill(0);
    held.reset();
}
