#include "DeviceServer.h"

#include "BackgroundThreads.h"
#include "DeviceConnection.h"
#include "DeviceContext.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace devicesim {

DeviceServer::DeviceServer(DeviceContext& context) : context_(context) {}

bool DeviceServer::listen(uint16_t port, std::string& error) {
    socket_.reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket_.valid()) {
        error = std::string("cannot create a socket: ") + std::strerror(errno);
        return false;
    }
    const int yes = 1;
    ::setsockopt(socket_.get(), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(socket_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(socket_.get(), 16) != 0) {
        error = "cannot listen on 127.0.0.1:" + std::to_string(port) + ": " + std::strerror(errno);
        return false;
    }
    socklen_t length = sizeof address;
    ::getsockname(socket_.get(), reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    return true;
}

void DeviceServer::acceptConnection() {
    UniqueFd client(::accept4(socket_.get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (!client.valid()) {
        return;
    }
    const int yes = 1;
    ::setsockopt(client.get(), IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    auto connection = std::make_shared<DeviceConnection>(std::move(client), context_);
    {
        std::lock_guard lock(mutex_);
        std::erase_if(connections_, [](const auto& known) { return known.expired(); });
        connections_.push_back(connection);
    }
    context_.threads.start([connection] { connection->serve(); });
}

void DeviceServer::dropAll() {
    std::lock_guard lock(mutex_);
    for (const auto& known : connections_) {
        if (auto connection = known.lock()) {
            connection->drop();
        }
    }
}

} // namespace devicesim
