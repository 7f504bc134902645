#ifndef REMOTEBINDING_H
#define REMOTEBINDING_H

#include "hardmessages.h"

#include <QString>

#include <optional>

// The one incoming message a remote action answers to: nothing, a Note On, a
// Control Change or a Program Change, with its text in the setting file and in
// the dialog. Value type; any thread.
class RemoteBinding
{
public:
    enum class Kind
    {
        None,
        Note,
        Control,
        Program
    };
    static constexpr int anyChannel = 0;
    // A note that fires on every velocity above 0.
    static constexpr int anyVelocity = -1;

    RemoteBinding() = default;
    // channel 1 to 16 or anyChannel; numbers 0 to 127; velocity 0 to 127 or anyVelocity.
    static RemoteBinding note(int channel, int note, int velocity);
    // Fires when the controller's value rises to 64 or more from below.
    static RemoteBinding control(int channel, int controller);
    static RemoteBinding program(int channel, int program);

    // What pressing a control binds: a Note On (above velocity 0 as any velocity
    // above 0, velocity 0 as itself), a Note Off (as a Note On at velocity 0), a
    // Control Change or a Program Change on its own channel; nothing for any
    // other message.
    static RemoteBinding learnt(const ByteVector &message);

    // "note any 54 127", "cc 2 64", "program 1 3"; empty for nothing.
    QString toText() const;
    // Empty text gives nothing; text that is no binding gives no value.
    static std::optional<RemoteBinding> fromText(const QString &text);
    // "Note 54 velocity 127, any channel", "CC 64 ≥ 64, channel 2", "—".
    QString words() const;

    // True when one message, or one press and its release, can fire both.
    bool overlaps(const RemoteBinding &other) const;
    // The message that lights (on) or darkens a lamp on this control: the note
    // at velocity 127 or 0, the controller at 127 or 0, on the bound channel
    // (channel 1 for any); empty for a program or nothing.
    ByteVector lamp(bool on) const;

    Kind kind() const { return bindingKind; }
    int channel() const { return bindingChannel; }
    int number() const { return bindingNumber; }
    int velocity() const { return bindingVelocity; }

    bool operator==(const RemoteBinding &other) const;
    bool operator!=(const RemoteBinding &other) const { return !(*this == other); }

private:
    RemoteBinding(Kind kind, int channel, int number, int velocity);

    Kind bindingKind = Kind::None;
    int bindingChannel = anyChannel;
    int bindingNumber = 0;
    int bindingVelocity = 0;
};

#endif
