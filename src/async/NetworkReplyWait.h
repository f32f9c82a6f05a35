// Awaiting a network reply, header-only so that only code that already uses Qt Network
// pulls it in (target pavrel_async_network).
#pragma once

#include "CancelledError.h"
#include "MainThread.h"
#include "Task.h"

#include <QNetworkReply>
#include <QPointer>

namespace async_detail {

class NetworkReplyAwaiter {
public:
    explicit NetworkReplyAwaiter(QNetworkReply& reply) : reply_(&reply) {}

    bool await_ready() {
        cancelled_ = isCurrentTaskCancelled();
        if (cancelled_) {
            reply_->abort();
        }
        return cancelled_ || reply_->isFinished();
    }

    void await_suspend(std::coroutine_handle<> handle) {
        handle_ = handle;
        finished_ = QObject::connect(reply_, &QNetworkReply::finished, [this] { end(); });
        if (auto token = currentCancellationToken()) {
            cancellation_ = token->onCancel([this] {
                cancelled_ = true;
                end();
                if (reply_) {
                    reply_->abort();
                }
            });
        }
    }

    void await_resume() const {
        if (cancelled_) {
            throw CancelledError();
        }
    }

private:
    void end() {
        if (ended_) {
            return;
        }
        ended_ = true;
        QObject::disconnect(finished_);
        cancellation_.reset();
        postResumption(handle_);
    }

    QPointer<QNetworkReply> reply_;
    std::coroutine_handle<> handle_;
    QMetaObject::Connection finished_;
    CancellationToken::Registration cancellation_;
    bool cancelled_ = false;
    bool ended_ = false;
};

} // namespace async_detail

// Suspends the calling task until `reply` has finished (successfully or not: read its
// error() afterwards). Cancelling the task aborts the reply and ends the wait with
// CancelledError.
inline Task<void> waitForReply(QNetworkReply& reply) {
    co_await async_detail::NetworkReplyAwaiter(reply);
}
