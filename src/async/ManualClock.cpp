#include "ManualClock.h"

#include "CancelledError.h"
#include "MainThread.h"

struct ManualClock::Sleeper {
    std::coroutine_handle<> handle;
    CancellationToken::Registration cancellation;
    bool cancelled = false;
};

class ManualClock::SleepAwaiter {
public:
    SleepAwaiter(ManualClock& clock, Instant deadline) : clock_(clock), deadline_(deadline) {}

    bool await_ready() {
        sleeper_.cancelled = isCurrentTaskCancelled();
        return sleeper_.cancelled || deadline_ <= clock_.now_;
    }

    void await_suspend(std::coroutine_handle<> handle) {
        sleeper_.handle = handle;
        const SleeperKey key{deadline_, clock_.nextArrival_++};
        clock_.sleepers_.emplace(key, &sleeper_);
        if (auto token = currentCancellationToken()) {
            sleeper_.cancellation = token->onCancel([clock = &clock_, key] {
                auto found = clock->sleepers_.find(key);
                if (found == clock->sleepers_.end()) {
                    return;
                }
                Sleeper* sleeper = found->second;
                clock->sleepers_.erase(found);
                sleeper->cancelled = true;
                async_detail::postResumption(sleeper->handle);
            });
        }
    }

    void await_resume() const {
        if (sleeper_.cancelled) {
            throw CancelledError();
        }
    }

private:
    ManualClock& clock_;
    Instant deadline_;
    Sleeper sleeper_;
};

ManualClock::~ManualClock() {
    auto asleep = std::move(sleepers_);
    sleepers_.clear();
    for (auto& [key, sleeper] : asleep) {
        sleeper->cancellation.reset();
        sleeper->cancelled = true;
        async_detail::postResumption(sleeper->handle);
    }
}

Task<void> ManualClock::sleep(Duration duration) {
    co_await SleepAwaiter(*this, now_ + duration);
}

void ManualClock::advance(Duration duration) {
    now_ += duration;
    while (!sleepers_.empty() && sleepers_.begin()->first.first <= now_) {
        Sleeper* sleeper = sleepers_.begin()->second;
        sleepers_.erase(sleepers_.begin());
        sleeper->cancellation.reset();
        async_detail::postResumption(sleeper->handle);
    }
}
