#ifndef TESTWAIT_H
#define TESTWAIT_H

#include <functional>

// Bounded waiting for tests, on the GUI thread.
namespace TestWait {

// Runs the event loop in short spans, as the program's main loop would run
// (deferred deletions included), until condition() is true or timeoutMs has
// passed; returns the last value of condition().
bool until(const std::function<bool()> &condition, int timeoutMs = 5000);

} // namespace TestWait

#endif
