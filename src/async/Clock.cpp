#include "Clock.h"

#include "CancelledError.h"
#include "MainThread.h"

#include <QTimer>

#include <memory>

namespace {

class TimerAwaiter {
public:
    explicit TimerAwaiter(Clock::Duration duration) : duration_(duration) {}

    bool await_ready() {
        cancelled_ = isCurrentTaskCancelled();
        return cancelled_ || duration_ <= Clock::Duration::zero();
    }

    void await_suspend(std::coroutine_handle<> handle) {
        handle_ = handle;
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] { wake(); });
        const auto ceilMilliseconds = std::chrono::ceil<std::chrono::milliseconds>(duration_);
        timer_.start(ceilMilliseconds);
        if (auto token = currentCancellationToken()) {
            cancellation_ = token->onCancel([this] {
                cancelled_ = true;
                wake();
            });
        }
    }

    void await_resume() const {
        if (cancelled_) {
            throw CancelledError();
        }
    }

private:
    void wake() {
        if (woken_) {
            return;
        }
        woken_ = true;
        timer_.stop();
        cancellation_.reset();
        async_detail::postResumption(handle_);
    }

    Clock::Duration duration_;
    QTimer timer_;
    std::coroutine_handle<> handle_;
    CancellationToken::Registration cancellation_;
    bool cancelled_ = false;
    bool woken_ = false;
};

} // namespace

Clock::Instant SteadyClock::now() const {
    return std::chrono::steady_clock::now();
}

Task<void> SteadyClock::sleep(Duration duration) {
    co_await TimerAwaiter(duration);
}

Clock& steadyClock() {
    static SteadyClock clock;
    return clock;
}
