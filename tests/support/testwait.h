#ifndef TESTWAIT_H
#define TESTWAIT_H

#include <functional>

// Bounded waiting for tests, on the GUI thread.
namespace TestWait {

// Runs the event loop in short spans, as the program's main loop would run
// (deferred deletions included), until condition() is true or timeoutMs has
// passed; returns the last value of condition().
bool until(const std::function<bool()> &condition, int timeoutMs = 5000);

// Runs a real event loop for ms milliseconds, as the program's main loop
// would run (deferred deletions posted from other threads happen here too).
void runEventLoop(int ms);

// JACK drops a cycle's events for a client that misses the cycle (a busy
// machine, a sanitizer build). For a test that needs every message of an
// exchange: runs exchange(), which must start from a clean record and send,
// then waits until arrived(); an exchange that has not completed within
// timeoutMs is run again, up to attempts times. True when one completed.
// What arrived is still to be checked: only loss is forgiven, not a wrong or
// an extra message.
bool repeatUntilArrived(const std::function<void()> &exchange, const std::function<bool()> &arrived,
                        int attempts = 3, int timeoutMs = 2000);

} // namespace TestWait

#endif
