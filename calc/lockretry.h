#pragma once

#include <chrono>
#include <functional>

namespace tav {

// What one try to take a lock found.
enum class LockAttempt {
    Taken,   // the lock is ours
    Busy,    // someone else holds it for now
    Failed,  // it cannot be taken at all
};

// Tries `attempt` again after a short pause while it answers Busy, until
// `wait` has passed. Gives the last answer: Busy when the lock stayed taken
// for the whole time. Another writer holds a lock only for a moment, so the
// pause is short.
LockAttempt retryLock(std::chrono::milliseconds wait, const std::function<LockAttempt()>& attempt);

}  // namespace tav
