// Task<T>: a coroutine that runs on the main thread's event loop, started when it is awaited
// (or spawned), with its result or exception delivered through co_await. An awaited task
// shares the cancellation token of the task awaiting it, so cancelling the outermost task
// reaches whatever leaf wait is active at the bottom of the chain.
//
// g++ 12 rejects a braced list inside a co_await expression ("array used as initializer"):
// `co_await runner.run({"devices", "-l"})` must name its list in a variable first.
#pragma once

#include "CancellationToken.h"

#include <coroutine>
#include <exception>
#include <optional>
#include <type_traits>
#include <utility>

template <typename T = void> class Task;

namespace async_detail {

template <typename A>
concept HasMemberCoAwait = requires(A&& a) {
    std::forward<A>(a).operator co_await();
};

template <typename A>
concept HasFreeCoAwait = requires(A&& a) {
    operator co_await(std::forward<A>(a));
};

template <typename A> decltype(auto) awaiterOf(A&& awaitable) {
    if constexpr (HasMemberCoAwait<A>) {
        return std::forward<A>(awaitable).operator co_await();
    } else if constexpr (HasFreeCoAwait<A>) {
        return operator co_await(std::forward<A>(awaitable));
    } else {
        return std::forward<A>(awaitable);
    }
}

// Wraps every co_await of a task so that, whoever resumes it, the thread knows which task
// is running (checkCancelled(), and leaf waits that install cancellation handlers).
template <typename Inner> struct RunningTaskAwaiter {
    CancellationToken* token;
    Inner inner;

    bool await_ready() { return inner.await_ready(); }

    template <typename Promise> auto await_suspend(std::coroutine_handle<Promise> handle) {
        using Outcome = decltype(inner.await_suspend(handle));
        if constexpr (std::is_void_v<Outcome>) {
            inner.await_suspend(handle);
            setCurrentToken(nullptr);
        } else {
            Outcome outcome = inner.await_suspend(handle);
            setCurrentToken(nullptr);
            return outcome;
        }
    }

    decltype(auto) await_resume() {
        setCurrentToken(token);
        return inner.await_resume();
    }
};

struct PromiseBase {
    std::shared_ptr<CancellationToken> token;
    std::coroutine_handle<> continuation;
    std::exception_ptr exception;

    struct StartAwaiter {
        PromiseBase& promise;
        bool await_ready() noexcept { return false; }
        void await_suspend(std::coroutine_handle<>) noexcept {}
        void await_resume() noexcept { setCurrentToken(promise.token.get()); }
    };

    struct FinalAwaiter {
        bool await_ready() noexcept { return false; }
        template <typename Promise>
        std::coroutine_handle<> await_suspend(std::coroutine_handle<Promise> handle) noexcept {
            setCurrentToken(nullptr);
            if (handle.promise().continuation) {
                return handle.promise().continuation;
            }
            return std::noop_coroutine();
        }
        void await_resume() noexcept {}
    };

    StartAwaiter initial_suspend() noexcept { return {*this}; }
    FinalAwaiter final_suspend() noexcept { return {}; }
    void unhandled_exception() noexcept { exception = std::current_exception(); }

    template <typename A> auto await_transform(A&& awaitable) {
        using Inner = decltype(awaiterOf(std::forward<A>(awaitable)));
        return RunningTaskAwaiter<Inner>{token.get(), awaiterOf(std::forward<A>(awaitable))};
    }
};

template <typename T> struct TaskPromise : PromiseBase {
    std::optional<T> value;

    Task<T> get_return_object() noexcept;
    void return_value(T result) { value.emplace(std::move(result)); }
};

template <> struct TaskPromise<void> : PromiseBase {
    Task<void> get_return_object() noexcept;
    void return_void() noexcept {}
};

} // namespace async_detail

template <typename T> class [[nodiscard]] Task {
public:
    using promise_type = async_detail::TaskPromise<T>;
    using value_type = T;
    using Handle = std::coroutine_handle<promise_type>;

    explicit Task(Handle handle) noexcept : handle_(handle) {}
    Task(Task&& other) noexcept : handle_(std::exchange(other.handle_, {})) {}
    Task& operator=(Task&& other) noexcept {
        if (this != &other) {
            destroy();
            handle_ = std::exchange(other.handle_, {});
        }
        return *this;
    }
    Task(const Task&) = delete;
    Task& operator=(const Task&) = delete;
    ~Task() { destroy(); }

    struct Awaiter {
        Handle handle;

        bool await_ready() const noexcept { return false; }

        std::coroutine_handle<> await_suspend(std::coroutine_handle<> awaiting) noexcept {
            auto& promise = handle.promise();
            promise.continuation = awaiting;
            CancellationToken* parentToken = async_detail::currentToken();
            promise.token =
                parentToken ? parentToken->shared_from_this() : CancellationToken::create();
            return handle;
        }

        T await_resume() {
            auto& promise = handle.promise();
            if (promise.exception) {
                std::rethrow_exception(promise.exception);
            }
            if constexpr (!std::is_void_v<T>) {
                return std::move(*promise.value);
            }
        }
    };

    // A task runs once: await it as a temporary or after std::move.
    Awaiter operator co_await() && noexcept { return Awaiter{handle_}; }

private:
    void destroy() {
        if (handle_) {
            handle_.destroy();
            handle_ = {};
        }
    }

    Handle handle_;
};

namespace async_detail {

template <typename T> Task<T> TaskPromise<T>::get_return_object() noexcept {
    return Task<T>(std::coroutine_handle<TaskPromise<T>>::from_promise(*this));
}

inline Task<void> TaskPromise<void>::get_return_object() noexcept {
    return Task<void>(std::coroutine_handle<TaskPromise<void>>::from_promise(*this));
}

} // namespace async_detail
