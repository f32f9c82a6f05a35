// Getting work and coroutine resumptions onto the main thread's event loop.
#pragma once

#include <coroutine>
#include <functional>

namespace async_detail {

// Runs `work` now when called on the main thread (or before any application object
// exists), otherwise queues it to the main thread's event loop.
void runOnMainThread(std::function<void()> work);

// Queues `work` to the main thread's event loop, also when called on the main thread.
void postToMainThread(std::function<void()> work);

// Resumes a suspended task here and now, keeping the caller's notion of the running task.
void resumeTask(std::coroutine_handle<> handle);

// Resumes a suspended task from the main thread's event loop. Leaf waits resume this way so
// that the object that signalled the end (a timer, a process) is never destroyed while it is
// still emitting, and a cancel() call never runs the cancelled task inside itself.
void postResumption(std::coroutine_handle<> handle);

} // namespace async_detail
