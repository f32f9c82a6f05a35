// Awaiting a short piece of blocking work (measuring local files) on a pool thread, so the
// main thread keeps serving the interface meanwhile.
#pragma once

#include "MainThread.h"

#include <QThreadPool>

#include <coroutine>
#include <functional>
#include <optional>

template <typename T> class OffMainThread {
public:
    explicit OffMainThread(std::function<T()> work) : m_work(std::move(work)) {}

    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> awaiting) {
        QThreadPool::globalInstance()->start([this, awaiting] {
            m_result.emplace(m_work());
            async_detail::postResumption(awaiting);
        });
    }
    T await_resume() { return std::move(*m_result); }

private:
    std::function<T()> m_work;
    std::optional<T> m_result;
};
