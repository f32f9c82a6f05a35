// Waits that another event must end (a transfer waiting for its device, an item waiting for
// an answer), kept in a map keyed by UUID. A waiter leaves the map before it is resumed, so
// it is resumed exactly once: by resume(), by fail(), by the cancellation of its task, or
// with CancelledError when the map itself goes away.
#pragma once

#include "CancellationToken.h"
#include "CancelledError.h"
#include "MainThread.h"

#include <QList>
#include <QUuid>

#include <coroutine>
#include <exception>
#include <map>
#include <optional>
#include <stdexcept>
#include <type_traits>
#include <variant>

template <typename T = void> class OneShotWaiters {
    using Stored = std::conditional_t<std::is_void_v<T>, std::monostate, T>;

    struct Entry {
        std::coroutine_handle<> handle;
        std::optional<Stored> value;
        std::exception_ptr error;
        CancellationToken::Registration cancellation;
    };

public:
    OneShotWaiters() = default;
    OneShotWaiters(const OneShotWaiters&) = delete;
    OneShotWaiters& operator=(const OneShotWaiters&) = delete;

    // Tasks still waiting resume later, from the event loop, with CancelledError.
    ~OneShotWaiters() {
        auto waiting = std::move(entries_);
        entries_.clear();
        for (auto& [id, entry] : waiting) {
            finish(*entry, {}, std::make_exception_ptr(CancelledError()));
        }
    }

    class Awaiter {
    public:
        Awaiter(OneShotWaiters& owner, QUuid id) : owner_(owner), id_(id) {}

        bool await_ready() {
            if (isCurrentTaskCancelled()) {
                entry_.error = std::make_exception_ptr(CancelledError());
                return true;
            }
            if (owner_.entries_.contains(id_)) {
                entry_.error = std::make_exception_ptr(
                    std::logic_error("A task is already waiting under this identifier"));
                return true;
            }
            return false;
        }

        void await_suspend(std::coroutine_handle<> handle) {
            entry_.handle = handle;
            owner_.entries_.emplace(id_, &entry_);
            if (auto token = currentCancellationToken()) {
                entry_.cancellation = token->onCancel([owner = &owner_, id = id_] {
                    owner->fail(id, std::make_exception_ptr(CancelledError()));
                });
            }
        }

        T await_resume() {
            if (entry_.error) {
                std::rethrow_exception(entry_.error);
            }
            if constexpr (!std::is_void_v<T>) {
                return std::move(*entry_.value);
            }
        }

    private:
        OneShotWaiters& owner_;
        QUuid id_;
        Entry entry_;
    };

    // Suspends the calling task until `id` is resumed or failed, or the task is cancelled.
    Awaiter wait(QUuid id) { return Awaiter(*this, id); }

    // Each returns false when nothing waits under `id`.
    bool resume(const QUuid& id) requires std::is_void_v<T> { return complete(id, Stored{}, {}); }

    template <typename U = T>
    requires(!std::is_void_v<T>) bool resume(const QUuid& id, U&& value) {
        return complete(id, Stored(std::forward<U>(value)), {});
    }

    bool fail(const QUuid& id, std::exception_ptr error) {
        return complete(id, std::nullopt, std::move(error));
    }

    bool isWaiting(const QUuid& id) const { return entries_.contains(id); }
    bool isEmpty() const { return entries_.empty(); }
    qsizetype count() const { return qsizetype(entries_.size()); }

    QList<QUuid> ids() const {
        QList<QUuid> result;
        for (const auto& entry : entries_) {
            result.append(entry.first);
        }
        return result;
    }

private:
    bool complete(const QUuid& id, std::optional<Stored> value, std::exception_ptr error) {
        auto found = entries_.find(id);
        if (found == entries_.end()) {
            return false;
        }
        Entry* entry = found->second;
        entries_.erase(found);
        finish(*entry, std::move(value), std::move(error));
        return true;
    }

    static void finish(Entry& entry, std::optional<Stored> value, std::exception_ptr error) {
        entry.cancellation.reset();
        entry.value = std::move(value);
        entry.error = std::move(error);
        async_detail::postResumption(entry.handle);
    }

    std::map<QUuid, Entry*> entries_;
};
