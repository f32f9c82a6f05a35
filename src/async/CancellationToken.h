// The cancellation flag of one task tree, plus the handlers that stop whatever the task
// is waiting for (a process, a sleep, a reply, a waiter) the moment the flag is set.
#pragma once

#include <QtGlobal>

#include <atomic>
#include <functional>
#include <map>
#include <memory>

class CancellationToken : public std::enable_shared_from_this<CancellationToken> {
public:
    // Keeps a handler installed until it is destroyed or reset.
    class Registration {
    public:
        Registration() = default;
        Registration(std::weak_ptr<CancellationToken> token, quint64 id);
        Registration(Registration&& other) noexcept;
        Registration& operator=(Registration&& other) noexcept;
        Registration(const Registration&) = delete;
        Registration& operator=(const Registration&) = delete;
        ~Registration();

        void reset();

    private:
        std::weak_ptr<CancellationToken> token_;
        quint64 id_ = 0;
    };

    static std::shared_ptr<CancellationToken> create();

    bool isCancelled() const noexcept { return cancelled_.load(std::memory_order_acquire); }

    // Sets the flag at once from any thread. The handlers run on the main thread: right
    // away when called there, otherwise as soon as its event loop gets to them.
    void cancel();

    // `handler` runs once, on the main thread, when the token is cancelled; if that has
    // already happened it runs now. Main thread only.
    [[nodiscard]] Registration onCancel(std::function<void()> handler);

private:
    CancellationToken() = default;
    void runHandlers();
    void removeHandler(quint64 id);

    std::atomic<bool> cancelled_ = false;
    bool handlersRan_ = false;
    quint64 nextHandlerId_ = 1;
    std::map<quint64, std::function<void()>> handlers_;
};

// The token of the task running on this thread, or null outside any task.
std::shared_ptr<CancellationToken> currentCancellationToken();

// True when the task running on this thread has been cancelled.
bool isCurrentTaskCancelled();

// Throws CancelledError when the task running on this thread has been cancelled.
void checkCancelled();

namespace async_detail {
CancellationToken* currentToken() noexcept;
void setCurrentToken(CancellationToken* token) noexcept;
} // namespace async_detail
