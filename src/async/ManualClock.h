// A clock that moves only when a test advances it; advancing wakes every sleeper whose
// deadline has come, in deadline order.
#pragma once

#include "Clock.h"

#include <coroutine>
#include <map>
#include <utility>

class ManualClock : public Clock {
public:
    ManualClock() = default;
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;
    // Tasks still asleep resume later, from the event loop, with CancelledError.
    ~ManualClock() override;

    Instant now() const override { return now_; }
    Task<void> sleep(Duration duration) override;

    // Moves the time forward; the woken tasks resume from the event loop.
    void advance(Duration duration);

    // How many tasks are asleep on this clock.
    qsizetype sleeperCount() const { return qsizetype(sleepers_.size()); }

private:
    struct Sleeper;
    class SleepAwaiter;
    // Keyed by deadline, then by order of arrival, so equal deadlines wake first come first.
    using SleeperKey = std::pair<Instant, quint64>;

    Instant now_{};
    quint64 nextArrival_ = 0;
    std::map<SleeperKey, Sleeper*> sleepers_;
};
