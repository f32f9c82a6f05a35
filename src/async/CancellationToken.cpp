#include "CancellationToken.h"

#include "CancelledError.h"
#include "MainThread.h"

namespace {
thread_local CancellationToken* runningTaskToken = nullptr;
}

CancellationToken::Registration::Registration(std::weak_ptr<CancellationToken> token, quint64 id)
    : token_(std::move(token)), id_(id) {}

CancellationToken::Registration::Registration(Registration&& other) noexcept
    : token_(std::move(other.token_)), id_(std::exchange(other.id_, 0)) {}

CancellationToken::Registration&
CancellationToken::Registration::operator=(Registration&& other) noexcept {
    if (this != &other) {
        reset();
        token_ = std::move(other.token_);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

CancellationToken::Registration::~Registration() {
    reset();
}

void CancellationToken::Registration::reset() {
    if (id_ == 0) {
        return;
    }
    if (auto token = token_.lock()) {
        token->removeHandler(id_);
    }
    token_.reset();
    id_ = 0;
}

std::shared_ptr<CancellationToken> CancellationToken::create() {
    return std::shared_ptr<CancellationToken>(new CancellationToken());
}

void CancellationToken::cancel() {
    if (cancelled_.exchange(true, std::memory_order_acq_rel)) {
        return;
    }
    async_detail::runOnMainThread([self = shared_from_this()] { self->runHandlers(); });
}

CancellationToken::Registration CancellationToken::onCancel(std::function<void()> handler) {
    if (handlersRan_) {
        handler();
        return {};
    }
    const quint64 id = nextHandlerId_++;
    handlers_.emplace(id, std::move(handler));
    return Registration(weak_from_this(), id);
}

void CancellationToken::runHandlers() {
    handlersRan_ = true;
    // A handler may remove or add others; take them one at a time so neither is missed.
    while (!handlers_.empty()) {
        auto first = handlers_.begin();
        auto handler = std::move(first->second);
        handlers_.erase(first);
        handler();
    }
}

void CancellationToken::removeHandler(quint64 id) {
    handlers_.erase(id);
}

std::shared_ptr<CancellationToken> currentCancellationToken() {
    CancellationToken* token = runningTaskToken;
    return token ? token->shared_from_this() : nullptr;
}

bool isCurrentTaskCancelled() {
    return runningTaskToken && runningTaskToken->isCancelled();
}

void checkCancelled() {
    if (isCurrentTaskCancelled()) {
        throw CancelledError();
    }
}

namespace async_detail {
CancellationToken* currentToken() noexcept {
    return runningTaskToken;
}
void setCurrentToken(CancellationToken* token) noexcept {
    runningTaskToken = token;
}
} // namespace async_detail
