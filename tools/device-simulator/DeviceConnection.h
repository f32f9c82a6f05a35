// One transport connection from the adb server: the CNXN/AUTH handshake, then the messages of
// its streams. The reader runs on the connection's own thread; services write from theirs.
#pragma once

#include "AdbMessage.h"
#include "FileDescriptorIO.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>

namespace devicesim {

struct DeviceContext;
class DeviceStream;

class DeviceConnection : public std::enable_shared_from_this<DeviceConnection> {
public:
    DeviceConnection(UniqueFd socket, DeviceContext& context);

    // Reads and handles messages until the link ends; then closes every stream.
    void serve();
    // Ends the link at once, as a pulled cable would.
    void drop();
    bool send(const AdbMessage& message);

    size_t maxPayload() const { return maxPayload_; }
    DeviceContext& context() const { return context_; }
    void forgetStream(uint32_t localId);

private:
    bool readMessage(AdbMessage& message);
    void handle(AdbMessage& message);
    void handleConnect(const AdbMessage& message);
    void handleAuth(const AdbMessage& message);
    void handleOpen(const AdbMessage& message);
    void sendAuthToken();
    std::shared_ptr<DeviceStream> stream(uint32_t localId);
    void closeAllStreams();

    UniqueFd socket_;
    DeviceContext& context_;
    std::mutex writeMutex_;
    std::mutex streamsMutex_;
    std::map<uint32_t, std::shared_ptr<DeviceStream>> streams_;
    uint32_t nextLocalId_ = 1;
    std::atomic<bool> ended_{false};
    std::atomic<size_t> maxPayload_{kMaxPayload};
    // Reader thread only.
    bool online_ = false;
    uint32_t peerVersion_ = 0;
};

} // namespace devicesim
