#include "DeviceStream.h"

#include "AdbMessage.h"
#include "DeviceConnection.h"
#include "DeviceContext.h"
#include "FaultState.h"

#include <algorithm>

namespace devicesim {

DeviceStream::DeviceStream(std::shared_ptr<DeviceConnection> connection, uint32_t localId,
                           uint32_t remoteId)
    : connection_(std::move(connection)), localId_(localId), remoteId_(remoteId) {}

size_t DeviceStream::maxPayload() const {
    return connection_->maxPayload();
}

DeviceContext& DeviceStream::context() const {
    return connection_->context();
}

std::optional<std::string> DeviceStream::read() {
    std::string payload;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !incoming_.empty() || closed_; });
        if (incoming_.empty()) {
            return std::nullopt;
        }
        payload = std::move(incoming_.front());
        incoming_.pop_front();
    }
    auto& faults = context().faults;
    const auto passage = faults.pass(payload.size(), [this] { return closed(); });
    if (!closed()) {
        connection_->send({kCommandOkay, localId_, remoteId_, {}});
    }
    if (passage.dropAfterwards) {
        context().dropAllConnections();
    }
    return payload;
}

bool DeviceStream::write(std::string_view data) {
    auto& faults = context().faults;
    while (!data.empty()) {
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return writable_ || closed_; });
            if (closed_) {
                return false;
            }
            writable_ = false;
        }
        const size_t piece = std::min(data.size(), faults.chunkLimit(maxPayload()));
        const auto passage = faults.pass(piece, [this] { return closed(); });
        if (passage.bytes > 0 && !connection_->send({kCommandWrite, localId_, remoteId_,
                                                     std::string(data.substr(0, passage.bytes))})) {
            return false;
        }
        data.remove_prefix(passage.bytes);
        if (passage.dropAfterwards) {
            context().dropAllConnections();
            return false;
        }
    }
    return true;
}

void DeviceStream::close() {
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return;
        }
        closed_ = true;
    }
    changed_.notify_all();
    connection_->send({kCommandClose, localId_, remoteId_, {}});
    connection_->forgetStream(localId_);
}

bool DeviceStream::closed() const {
    std::lock_guard lock(mutex_);
    return closed_;
}

void DeviceStream::deliver(std::string payload) {
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return;
        }
        incoming_.push_back(std::move(payload));
    }
    changed_.notify_all();
}

void DeviceStream::acknowledge() {
    {
        std::lock_guard lock(mutex_);
        writable_ = true;
    }
    changed_.notify_all();
}

void DeviceStream::closeByRemote() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
}

} // namespace devicesim
