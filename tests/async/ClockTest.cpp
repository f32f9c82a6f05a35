// The manual clock wakes sleepers by deadline; both clocks wake a cancelled sleeper at once.
#include "BlockingWait.h"
#include "CancelledError.h"
#include "ManualClock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

using namespace std::chrono_literals;

namespace {

TaskHandle<> sleepAndRecord(Clock& clock, Clock::Duration duration, QString name,
                            QStringList& woken) {
    return spawn([&clock, duration, name, &woken]() -> Task<void> {
        co_await clock.sleep(duration);
        woken << name;
    });
}

void drainEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

} // namespace

TEST(AsyncClock, ManualClockWakesSleepersWhoseDeadlineHasComeInDeadlineOrder) {
    struct Step {
        Clock::Duration advance;
        QStringList wokenSoFar;
    };
    const std::vector<Step> steps = {
        {0s, {}},
        {9s, {}},
        {1s, {"10 s (first)", "10 s (second)"}},
        {19s, {"10 s (first)", "10 s (second)"}},
        {1min, {"10 s (first)", "10 s (second)", "30 s", "40 s"}},
    };
    ManualClock clock;
    QStringList woken;
    sleepAndRecord(clock, 30s, "30 s", woken);
    sleepAndRecord(clock, 10s, "10 s (first)", woken);
    sleepAndRecord(clock, 40s, "40 s", woken);
    sleepAndRecord(clock, 10s, "10 s (second)", woken);
    const Clock::Instant start = clock.now();
    Clock::Duration elapsed{};
    for (const auto& step : steps) {
        clock.advance(step.advance);
        elapsed += step.advance;
        drainEvents();
        SCOPED_TRACE(std::chrono::duration_cast<std::chrono::seconds>(elapsed).count());
        EXPECT_EQ(woken, step.wokenSoFar);
        EXPECT_EQ(clock.now() - start, elapsed);
        EXPECT_EQ(clock.sleeperCount(), 4 - step.wokenSoFar.size());
    }
}

TEST(AsyncClock, ASleepThatIsNotInTheFutureDoesNotSuspend) {
    ManualClock clock;
    for (Clock::Duration duration : {Clock::Duration(0s), Clock::Duration(-5s)}) {
        auto handle = spawn([&]() -> Task<void> { co_await clock.sleep(duration); });
        EXPECT_TRUE(handle.isFinished());
        EXPECT_EQ(clock.sleeperCount(), 0);
    }
}

TEST(AsyncClock, CancellingASleeperWakesItAtOnce) {
    ManualClock manual;
    struct Case {
        const char* name;
        Clock& clock;
    };
    for (const Case& testCase : {Case{"manual", manual}, Case{"steady", steadyClock()}}) {
        SCOPED_TRACE(testCase.name);
        QStringList woken;
        auto handle = sleepAndRecord(testCase.clock, 1h, "woken", woken);
        handle.cancel();
        EXPECT_THROW(blockingWait(handle), CancelledError);
        EXPECT_TRUE(woken.isEmpty());
        EXPECT_EQ(manual.sleeperCount(), 0);
    }
}

TEST(AsyncClock, SteadyClockSleepsAtLeastTheDuration) {
    Clock& clock = steadyClock();
    const Clock::Instant start = clock.now();
    blockingWait(clock.sleep(20ms));
    EXPECT_GE(clock.now() - start, 20ms);
}

TEST(AsyncClock, SleepersOfADestroyedManualClockEndWithCancellation) {
    auto clock = std::make_unique<ManualClock>();
    QStringList woken;
    auto handle = sleepAndRecord(*clock, 1s, "woken", woken);
    clock.reset();
    EXPECT_THROW(blockingWait(handle), CancelledError);
    EXPECT_TRUE(woken.isEmpty());
}
