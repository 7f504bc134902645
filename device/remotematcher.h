#ifndef REMOTEMATCHER_H
#define REMOTEMATCHER_H

#include "remotebindings.h"

#include <array>
#include <bitset>
#include <optional>

// Turns the messages of the remote input into actions by the bindings,
// remembering every controller's last value so that a Control Change fires
// only when it rises to 64 or more from below, and every note whose press
// acted so that its release fires nothing. The thread that receives.
class RemoteMatcher
{
public:
    // The action the message fires (the first in action order when several
    // would), or none.
    std::optional<RemoteAction> take(const RemoteBindings &bindings, const ByteVector &message);
    // A message taken elsewhere (to learn a binding) counts as one that acted,
    // so that its release fires nothing.
    void see(const ByteVector &message);
    // True for the release of a note whose press acted: it belongs to that press.
    bool isRelease(const ByteVector &message) const;
    // A new connection: no controller is high and no note held.
    void reset();

private:
    // By channel and controller; a controller not heard from yet counts as 0.
    std::array<unsigned char, 16 * 128> lastValue{};
    // By channel and note: pressed, and the press acted.
    std::bitset<16 * 128> held;
};

#endif
