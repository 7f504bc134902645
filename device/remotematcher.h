#ifndef REMOTEMATCHER_H
#define REMOTEMATCHER_H

#include "remotebindings.h"

#include <array>
#include <optional>

// Turns the messages of the remote input into actions by the bindings,
// remembering every controller's last value so that a Control Change fires
// only when it rises to 64 or more from below. The thread that receives.
class RemoteMatcher
{
public:
    // The action the message fires (the first in action order when several
    // would), or none.
    std::optional<RemoteAction> take(const RemoteBindings &bindings, const ByteVector &message);

private:
    // By channel and controller; a controller not heard from yet counts as 0.
    std::array<unsigned char, 16 * 128> lastValue{};
};

#endif
