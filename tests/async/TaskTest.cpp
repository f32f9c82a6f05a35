// Results, errors and cancellation travelling through chains of awaited and spawned tasks.
#include "BlockingWait.h"
#include "CancelledError.h"
#include "ManualClock.h"
#include "OneShotWaiters.h"
#include "Spawn.h"

#include <gtest/gtest.h>

#include <QUuid>

#include <functional>
#include <stdexcept>
#include <thread>

namespace {

Task<int> valueThroughChain(int depth, int value) {
    if (depth == 0) {
        co_return value;
    }
    co_return co_await valueThroughChain(depth - 1, value) + 0;
}

Task<int> failureThroughChain(int depth) {
    if (depth == 0) {
        throw std::runtime_error("leaf failed");
    }
    co_return co_await failureThroughChain(depth - 1);
}

// Awaits `leaf` at the bottom of a chain of `depth` tasks, counting how far it got.
Task<void> chainOverLeaf(int depth, std::function<Task<void>()> leaf, int& leavesEnded) {
    if (depth == 0) {
        co_await leaf();
        ++leavesEnded;
        co_return;
    }
    co_await chainOverLeaf(depth - 1, std::move(leaf), leavesEnded);
}

} // namespace

TEST(AsyncTask, ResultsAndErrorsTravelThroughChainsOfAwaits) {
    for (int depth : {0, 1, 2, 200}) {
        SCOPED_TRACE(depth);
        EXPECT_EQ(blockingWait(valueThroughChain(depth, 42)), 42);
        try {
            blockingWait(failureThroughChain(depth));
            ADD_FAILURE() << "the leaf's error was lost";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "leaf failed");
        }
    }
}

TEST(AsyncTask, StartsOnlyWhenAwaitedOrSpawned) {
    bool ran = false;
    auto work = [&ran]() -> Task<void> {
        ran = true;
        co_return;
    };
    {
        Task<void> neverAwaited = work();
        EXPECT_FALSE(ran);
    }
    EXPECT_FALSE(ran);
    Task<void> awaited = work();
    blockingWait(std::move(awaited));
    EXPECT_TRUE(ran);
}

TEST(AsyncTask, SpawnRunsUpToTheFirstSuspensionAndResumesFromTheEventLoop) {
    ManualClock clock;
    QStringList steps;
    auto handle = spawn([&]() -> Task<int> {
        steps << "before sleep";
        co_await clock.sleep(std::chrono::seconds(1));
        steps << "after sleep";
        co_return 7;
    });
    EXPECT_EQ(steps, QStringList{"before sleep"});
    EXPECT_FALSE(handle.isFinished());

    clock.advance(std::chrono::seconds(1));
    EXPECT_EQ(steps, QStringList{"before sleep"}) << "woken tasks resume from the event loop";
    EXPECT_EQ(blockingWait(handle), 7);
    EXPECT_EQ(steps, (QStringList{"before sleep", "after sleep"}));
}

TEST(AsyncTask, ALambdasCapturesLiveAsLongAsItsSpawnedTask) {
    ManualClock clock;
    auto handle = spawn([&clock, text = QString("Фото 1.jpg")]() -> Task<QString> {
        co_await clock.sleep(std::chrono::milliseconds(5));
        co_return text;
    });
    clock.advance(std::chrono::milliseconds(5));
    EXPECT_EQ(blockingWait(handle), QString("Фото 1.jpg"));
}

TEST(AsyncTask, CancellationReachesTheLeafAtTheBottomOfAChain) {
    ManualClock clock;
    OneShotWaiters<> waiters;
    struct LeafCase {
        const char* name;
        std::function<Task<void>()> leaf;
    };
    const std::vector<LeafCase> leaves = {
        {"manual clock sleep", [&] { return clock.sleep(std::chrono::hours(1)); }},
        {"steady clock sleep", [] { return steadyClock().sleep(std::chrono::hours(1)); }},
        {"one-shot waiter", [&]() -> Task<void> { co_await waiters.wait(QUuid::createUuid()); }},
    };
    for (const auto& leafCase : leaves) {
        for (int depth : {0, 1, 30}) {
            SCOPED_TRACE(std::string(leafCase.name) + " at depth " + std::to_string(depth));
            int leavesEnded = 0;
            auto handle = spawn(chainOverLeaf(depth, leafCase.leaf, leavesEnded));
            EXPECT_FALSE(handle.isFinished());
            handle.cancel();
            EXPECT_THROW(blockingWait(handle), CancelledError);
            EXPECT_EQ(leavesEnded, 0);
            EXPECT_EQ(clock.sleeperCount(), 0);
            EXPECT_TRUE(waiters.isEmpty());
        }
    }
}

TEST(AsyncTask, CheckCancelledThrowsOnlyInACancelledTask) {
    EXPECT_NO_THROW(checkCancelled()) << "outside any task";

    OneShotWaiters<> waiters;
    const QUuid gate = QUuid::createUuid();
    QStringList seen;
    auto handle = spawn([&]() -> Task<void> {
        checkCancelled();
        seen << "first check passed";
        try {
            co_await waiters.wait(gate);
        } catch (const CancelledError&) {
            seen << "wait cancelled";
        }
        seen << (isCurrentTaskCancelled() ? "still cancelled" : "no longer cancelled");
        checkCancelled();
        seen << "second check passed";
    });
    handle.cancel();
    EXPECT_TRUE(handle.isCancelled());
    EXPECT_THROW(blockingWait(handle), CancelledError);
    EXPECT_EQ(seen, (QStringList{"first check passed", "wait cancelled", "still cancelled"}));
}

TEST(AsyncTask, ACancelledTaskFailsEveryLaterWaitWithoutSuspending) {
    ManualClock clock;
    int cancelledWaits = 0;
    auto handle = spawn([&]() -> Task<void> {
        for (int attempt = 0; attempt < 3; ++attempt) {
            try {
                co_await clock.sleep(std::chrono::seconds(10));
            } catch (const CancelledError&) {
                ++cancelledWaits;
            }
        }
    });
    handle.cancel();
    blockingWait(handle);
    EXPECT_EQ(cancelledWaits, 3);
    EXPECT_EQ(clock.sleeperCount(), 0);
}

TEST(AsyncTask, AFreshTaskFinishesAlthoughItsParentWasCancelled) {
    struct ChildCase {
        const char* name;
        bool runFresh;
        QStringList expectedSteps;
    };
    const std::vector<ChildCase> cases = {
        {"fresh clean-up", true, {"step 1", "step 2"}},
        {"ordinary child", false, {}},
    };
    for (const auto& childCase : cases) {
        SCOPED_TRACE(childCase.name);
        ManualClock clock;
        QStringList steps;
        auto cleanUp = [&]() -> Task<int> {
            for (const char* step : {"step 1", "step 2"}) {
                co_await clock.sleep(std::chrono::seconds(1));
                steps << step;
            }
            co_return 2;
        };
        bool parentSawResult = false;
        auto parent = spawn([&]() -> Task<void> {
            const int done = childCase.runFresh ? co_await fresh(cleanUp) : co_await cleanUp();
            parentSawResult = done == 2;
            checkCancelled();
        });
        parent.cancel();
        for (int second = 0; second < 2; ++second) {
            processEventsUntil([&] { return clock.sleeperCount() > 0 || parent.isFinished(); });
            clock.advance(std::chrono::seconds(1));
        }
        EXPECT_THROW(blockingWait(parent), CancelledError);
        EXPECT_EQ(steps, childCase.expectedSteps);
        EXPECT_EQ(parentSawResult, childCase.runFresh);
    }
}

TEST(AsyncTask, AwaitingASpawnedTaskGivesItsResultToEveryWaiter) {
    ManualClock clock;
    auto producer = spawn([&]() -> Task<QString> {
        co_await clock.sleep(std::chrono::seconds(1));
        co_return QStringLiteral("listing");
    });
    auto failing = spawn([&]() -> Task<QString> {
        co_await clock.sleep(std::chrono::seconds(1));
        throw std::runtime_error("device gone");
    });
    auto firstReader = spawn([producer]() -> Task<QString> { co_return co_await producer; });
    auto secondReader =
        spawn([producer]() -> Task<QString> { co_return co_await producer.result(); });
    auto failureReader = spawn([failing]() -> Task<QString> { co_return co_await failing; });
    clock.advance(std::chrono::seconds(1));
    EXPECT_EQ(blockingWait(firstReader), "listing");
    EXPECT_EQ(blockingWait(secondReader), "listing");
    EXPECT_THROW(blockingWait(failureReader), std::runtime_error);
    EXPECT_EQ(producer.finishedResult(), "listing");
}

TEST(AsyncTask, CancellingOneSpawnedTaskLeavesOthersAlone) {
    ManualClock clock;
    auto sleeper = [&]() -> Task<int> {
        co_await clock.sleep(std::chrono::seconds(1));
        co_return 1;
    };
    auto cancelled = spawn(sleeper);
    auto untouched = spawn(sleeper);
    cancelled.cancel();
    clock.advance(std::chrono::seconds(1));
    EXPECT_THROW(blockingWait(cancelled), CancelledError);
    EXPECT_EQ(blockingWait(untouched), 1);
    EXPECT_FALSE(untouched.isCancelled());
}

TEST(AsyncTask, CancelFromAnotherThreadWakesTheTaskOnTheMainThread) {
    const std::thread::id mainThread = std::this_thread::get_id();
    std::thread::id resumedOn;
    auto handle = spawn([&]() -> Task<void> {
        try {
            co_await steadyClock().sleep(std::chrono::hours(1));
        } catch (const CancelledError&) {
            resumedOn = std::this_thread::get_id();
            throw;
        }
    });
    std::thread canceller([handle] { handle.cancel(); });
    canceller.join();
    EXPECT_TRUE(handle.isCancelled());
    EXPECT_THROW(blockingWait(handle), CancelledError);
    EXPECT_EQ(resumedOn, mainThread);
}

TEST(AsyncTask, CancellingAFinishedTaskChangesNothing) {
    auto handle = spawn([]() -> Task<int> { co_return 5; });
    ASSERT_TRUE(handle.isFinished());
    handle.cancel();
    EXPECT_EQ(blockingWait(handle), 5);
}
