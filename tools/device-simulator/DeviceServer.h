// The phone's TCP endpoint on 127.0.0.1: accepts the adb server's connections, each served on
// its own thread, and can drop them all at once.
#pragma once

#include "FileDescriptorIO.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace devicesim {

class DeviceConnection;
struct DeviceContext;

class DeviceServer {
public:
    explicit DeviceServer(DeviceContext& context);

    // Port 0 takes any free port; port() tells which.
    bool listen(uint16_t port, std::string& error);
    uint16_t port() const { return port_; }
    int socket() const { return socket_.get(); }

    void acceptConnection();
    void stopListening() { socket_.reset(); }
    void dropAll();

private:
    DeviceContext& context_;
    UniqueFd socket_;
    uint16_t port_ = 0;
    std::mutex mutex_;
    std::vector<std::weak_ptr<DeviceConnection>> connections_;
};

} // namespace devicesim
