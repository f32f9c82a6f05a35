// One-shot waiters: whatever ends a wait first wins, and a wait ends exactly once.
#include "OneShotWaiters.h"
#include "BlockingWait.h"
#include "CancelledError.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

namespace {

struct WaitOutcome {
    int resumptions = 0;
    std::optional<QString> answer;
    QString error;
};

TaskHandle<> startWaiting(OneShotWaiters<QString>& waiters, QUuid id, WaitOutcome& outcome) {
    return spawn([&waiters, id, &outcome]() -> Task<void> {
        try {
            outcome.answer = co_await waiters.wait(id);
        } catch (const CancelledError&) {
            outcome.error = "cancelled";
        } catch (const std::exception& error) {
            outcome.error = error.what();
        }
        ++outcome.resumptions;
    });
}

} // namespace

TEST(AsyncWaiters, TheFirstEndingWinsAndEveryLaterOneFindsNothing) {
    using Ending = std::function<void(OneShotWaiters<QString>&, const QUuid&, TaskHandle<>&)>;
    const Ending resume = [](auto& waiters, const QUuid& id, auto&) {
        EXPECT_TRUE(waiters.resume(id, QString("replace")));
    };
    const Ending fail = [](auto& waiters, const QUuid& id, auto&) {
        EXPECT_TRUE(waiters.fail(id, std::make_exception_ptr(std::runtime_error("device lost"))));
    };
    const Ending cancel = [](auto&, const QUuid&, TaskHandle<>& task) { task.cancel(); };
    struct Case {
        const char* name;
        Ending ending;
        std::optional<QString> answer;
        QString error;
    };
    const std::vector<Case> cases = {
        {"resumed", resume, "replace", {}},
        {"failed", fail, std::nullopt, "device lost"},
        {"cancelled", cancel, std::nullopt, "cancelled"},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        OneShotWaiters<QString> waiters;
        const QUuid id = QUuid::createUuid();
        WaitOutcome outcome;
        auto task = startWaiting(waiters, id, outcome);
        ASSERT_TRUE(waiters.isWaiting(id));

        testCase.ending(waiters, id, task);
        EXPECT_FALSE(waiters.isWaiting(id)) << "left the map before resuming";
        // Every later ending, before or after the task has run, finds nothing to end.
        EXPECT_FALSE(waiters.resume(id, QString("again")));
        EXPECT_FALSE(waiters.fail(id, std::make_exception_ptr(std::runtime_error("x"))));
        task.cancel();
        blockingWait(task);
        EXPECT_FALSE(waiters.resume(id, QString("late")));
        QCoreApplication::processEvents();
        EXPECT_EQ(outcome.resumptions, 1);
        EXPECT_EQ(outcome.answer, testCase.answer);
        EXPECT_EQ(outcome.error, testCase.error);
        EXPECT_TRUE(waiters.isEmpty());
    }
}

TEST(AsyncWaiters, ResumingOneIdentifierLeavesTheOthersWaiting) {
    OneShotWaiters<QString> waiters;
    const QUuid first = QUuid::createUuid();
    const QUuid second = QUuid::createUuid();
    WaitOutcome firstOutcome;
    WaitOutcome secondOutcome;
    auto firstTask = startWaiting(waiters, first, firstOutcome);
    auto secondTask = startWaiting(waiters, second, secondOutcome);
    EXPECT_EQ(waiters.count(), 2);
    EXPECT_TRUE(waiters.ids().contains(first));
    EXPECT_TRUE(waiters.ids().contains(second));

    EXPECT_TRUE(waiters.resume(second, QString("keep both")));
    blockingWait(secondTask);
    EXPECT_EQ(secondOutcome.answer, QString("keep both"));
    EXPECT_EQ(firstOutcome.resumptions, 0);
    EXPECT_EQ(waiters.ids(), QList<QUuid>{first});

    EXPECT_FALSE(waiters.resume(QUuid::createUuid(), QString("unknown")));
    EXPECT_TRUE(waiters.resume(first, QString("replace")));
    blockingWait(firstTask);
    EXPECT_EQ(firstOutcome.answer, QString("replace"));
}

TEST(AsyncWaiters, ASecondWaitUnderTheSameIdentifierIsRefused) {
    OneShotWaiters<QString> waiters;
    const QUuid id = QUuid::createUuid();
    WaitOutcome original;
    WaitOutcome duplicate;
    auto originalTask = startWaiting(waiters, id, original);
    auto duplicateTask = startWaiting(waiters, id, duplicate);
    blockingWait(duplicateTask);
    EXPECT_EQ(duplicate.resumptions, 1);
    EXPECT_FALSE(duplicate.error.isEmpty());

    EXPECT_TRUE(waiters.resume(id, QString("answer")));
    blockingWait(originalTask);
    EXPECT_EQ(original.answer, QString("answer"));
}

TEST(AsyncWaiters, ACancelledTaskDoesNotStartWaiting) {
    OneShotWaiters<> gate;
    OneShotWaiters<> waiters;
    const QUuid id = QUuid::createUuid();
    bool waitRefused = false;
    auto task = spawn([&]() -> Task<void> {
        try {
            co_await gate.wait(QUuid::createUuid());
        } catch (const CancelledError&) {
        }
        try {
            co_await waiters.wait(id);
        } catch (const CancelledError&) {
            waitRefused = !waiters.isWaiting(id);
        }
    });
    task.cancel();
    blockingWait(task);
    EXPECT_TRUE(waitRefused);
    EXPECT_TRUE(waiters.isEmpty());
}

TEST(AsyncWaiters, WaitersLeftWhenTheMapGoesAwayEndWithCancellation) {
    auto waiters = std::make_unique<OneShotWaiters<QString>>();
    WaitOutcome outcome;
    auto task = startWaiting(*waiters, QUuid::createUuid(), outcome);
    waiters.reset();
    EXPECT_EQ(outcome.resumptions, 0) << "never resumed inside the destructor";
    blockingWait(task);
    EXPECT_EQ(outcome.resumptions, 1);
    EXPECT_EQ(outcome.error, "cancelled");
    task.cancel();
    QCoreApplication::processEvents();
    EXPECT_EQ(outcome.resumptions, 1);
}

TEST(AsyncWaiters, AVoidWaiterResumesWithoutAValue) {
    OneShotWaiters<> waiters;
    const QUuid id = QUuid::createUuid();
    bool resumed = false;
    auto task = spawn([&]() -> Task<void> {
        co_await waiters.wait(id);
        resumed = true;
    });
    EXPECT_TRUE(waiters.resume(id));
    EXPECT_FALSE(waiters.resume(id));
    blockingWait(task);
    EXPECT_TRUE(resumed);
}
