// One stream of a connection: the host's OPEN on one side, a service of the phone on the other.
// Writes wait for the host's OKAY (one outstanding write at a time); the phone acknowledges each
// host write once its service has taken the data, which throttles a fast sender.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace devicesim {

class DeviceConnection;
struct DeviceContext;

class DeviceStream {
public:
    DeviceStream(std::shared_ptr<DeviceConnection> connection, uint32_t localId, uint32_t remoteId);

    uint32_t localId() const { return localId_; }
    size_t maxPayload() const;
    DeviceContext& context() const;

    // The next data the host wrote; nothing once the stream is closed and drained.
    std::optional<std::string> read();
    // False once the stream is closed (by either side or with its connection).
    bool write(std::string_view data);
    // Closes the phone's side and tells the host.
    void close();
    bool closed() const;

    // Called by the connection's reader.
    void deliver(std::string payload);
    void acknowledge();
    void closeByRemote();

private:
    std::shared_ptr<DeviceConnection> connection_;
    const uint32_t localId_;
    const uint32_t remoteId_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> incoming_;
    bool writable_ = true; // the host's OPEN counts as its first OKAY
    bool closed_ = false;
};

} // namespace devicesim
