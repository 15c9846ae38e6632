#include "lockretry.h"

#include <QDeadlineTimer>
#include <thread>

namespace tav {

namespace {

constexpr std::chrono::milliseconds kPause{5};

}  // namespace

LockAttempt retryLock(std::chrono::milliseconds wait, const std::function<LockAttempt()>& attempt) {
    const QDeadlineTimer deadline(wait);
    for (;;) {
        const LockAttempt result = attempt();
        if (result != LockAttempt::Busy || deadline.hasExpired()) {
            return result;
        }
        std::this_thread::sleep_for(kPause);
    }
}

}  // namespace tav
