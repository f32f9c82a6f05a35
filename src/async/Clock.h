// Time as tasks see it: a monotonic now() and a cancellable sleep. Production code uses
// steadyClock(); tests hand a ManualClock to the code under test.
#pragma once

#include "Task.h"

#include <chrono>

class Clock {
public:
    using Instant = std::chrono::steady_clock::time_point;
    using Duration = std::chrono::nanoseconds;

    virtual ~Clock() = default;

    virtual Instant now() const = 0;

    // Suspends the calling task for `duration`; cancelling the task wakes it at once with
    // CancelledError.
    virtual Task<void> sleep(Duration duration) = 0;
};

class SteadyClock : public Clock {
public:
    Instant now() const override;
    Task<void> sleep(Duration duration) override;
};

// The process-wide monotonic clock.
Clock& steadyClock();
