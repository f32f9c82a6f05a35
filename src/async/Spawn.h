// Starting tasks that nobody awaits: spawn() gives a handle that can cancel the task and
// await its result; fresh() runs work unlinked from the caller's cancellation.
#pragma once

#include "MainThread.h"
#include "Task.h"

#include <concepts>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace async_detail {

template <typename T> struct TaskTraits;

template <typename T> struct TaskTraits<Task<T>> { using Value = T; };

template <typename Source>
concept TaskFactory = std::invocable<Source&> && requires(Source& source) {
    typename TaskTraits<std::invoke_result_t<Source&>>::Value;
};

template <typename Source> struct SpawnedValue;

template <typename T> struct SpawnedValue<Task<T>> { using Type = T; };

template <TaskFactory Source> struct SpawnedValue<Source> {
    using Type = typename TaskTraits<std::invoke_result_t<Source&>>::Value;
};

template <typename T> class SpawnedState {
public:
    explicit SpawnedState(std::shared_ptr<CancellationToken> token) : token(std::move(token)) {}

    void finish() {
        finished = true;
        auto callbacks = std::move(finishCallbacks);
        for (auto& callback : callbacks) {
            callback();
        }
    }

    void whenFinished(std::function<void()> callback) {
        if (finished) {
            callback();
        } else {
            finishCallbacks.push_back(std::move(callback));
        }
    }

    T result() const {
        if (exception) {
            std::rethrow_exception(exception);
        }
        if constexpr (!std::is_void_v<T>) {
            return *value;
        }
    }

    std::shared_ptr<CancellationToken> token;
    bool finished = false;
    std::optional<std::conditional_t<std::is_void_v<T>, std::monostate, T>> value;
    std::exception_ptr exception;
    std::vector<std::function<void()>> finishCallbacks;
};

// Drives a spawned task to its end; its frame frees itself when done.
struct DetachedTask {
    struct promise_type : PromiseBase {
        DetachedTask get_return_object() noexcept {
            return {std::coroutine_handle<promise_type>::from_promise(*this)};
        }
        std::suspend_never final_suspend() noexcept {
            setCurrentToken(nullptr);
            return {};
        }
        void return_void() noexcept {}
        void unhandled_exception() noexcept { std::terminate(); }
    };

    std::coroutine_handle<promise_type> handle;
};

template <typename T> Task<T> startedTask(Task<T>& task) {
    return std::move(task);
}

template <TaskFactory Source> auto startedTask(Source& source) {
    return source();
}

// `source` lives in this frame, so a lambda's captures outlive every suspension of the task.
template <typename T, typename Source>
DetachedTask driveSpawned(std::shared_ptr<SpawnedState<T>> state, Source source) {
    try {
        if constexpr (std::is_void_v<T>) {
            co_await startedTask(source);
            state->value.emplace();
        } else {
            state->value.emplace(co_await startedTask(source));
        }
    } catch (...) {
        state->exception = std::current_exception();
    }
    state->finish();
}

} // namespace async_detail

template <typename T = void> class TaskHandle {
public:
    explicit TaskHandle(std::shared_ptr<async_detail::SpawnedState<T>> state)
        : state_(std::move(state)) {}

    // Cancels the task and everything it awaits. Safe from any thread.
    void cancel() const { state_->token->cancel(); }
    bool isCancelled() const { return state_->token->isCancelled(); }
    bool isFinished() const { return state_->finished; }

    struct ResultAwaiter {
        std::shared_ptr<async_detail::SpawnedState<T>> state;

        bool await_ready() const noexcept { return state->finished; }
        void await_suspend(std::coroutine_handle<> awaiting) {
            state->whenFinished([awaiting] { async_detail::postResumption(awaiting); });
        }
        T await_resume() const { return state->result(); }
    };

    // Waits for the task's result (or rethrows its error). Cancelling the awaiting task does
    // not cancel this one, and the wait lasts until this task has ended.
    ResultAwaiter result() const { return ResultAwaiter{state_}; }
    ResultAwaiter operator co_await() const { return result(); }

    // The result of a task that has finished; rethrows its error.
    T finishedResult() const { return state_->result(); }

    // `callback` runs on the main thread once the task has ended (at once if it has).
    void whenFinished(std::function<void()> callback) const {
        state_->whenFinished(std::move(callback));
    }

private:
    std::shared_ptr<async_detail::SpawnedState<T>> state_;
};

// Starts a task with a cancellation token of its own, runs it up to its first suspension
// and returns its handle. `source` is a Task or a callable returning one (kept alive
// until the task ends, so a lambda may capture what the task uses). Dropping the handle
// does not stop the task.
template <typename Source> auto spawn(Source&& source) {
    using Value = typename async_detail::SpawnedValue<std::decay_t<Source>>::Type;
    auto state = std::make_shared<async_detail::SpawnedState<Value>>(CancellationToken::create());
    auto driver = async_detail::driveSpawned<Value, std::decay_t<Source>>(
        state, std::forward<Source>(source));
    driver.handle.promise().token = state->token;
    async_detail::resumeTask(driver.handle);
    return TaskHandle<Value>(state);
}

// Runs `source` as a task unlinked from the caller and waits for it: cancelling the caller
// never interrupts it half way. Clean-up work runs this way.
template <typename Source>
Task<typename async_detail::SpawnedValue<std::decay_t<Source>>::Type> fresh(Source source) {
    co_return co_await spawn(std::move(source));
}
