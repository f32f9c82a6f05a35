#include "ControlServer.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace devicesim {

namespace {

bool makeAddress(const std::string& path, sockaddr_un& address, std::string& error) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        error = "control socket path is too long: " + path;
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

} // namespace

ControlServer::ControlServer(std::function<std::string(std::string_view)> execute)
    : execute_(std::move(execute)) {}

ControlServer::~ControlServer() {
    if (socket_.valid()) {
        ::unlink(path_.c_str());
    }
}

bool ControlServer::listen(const std::string& path, std::string& error) {
    sockaddr_un address;
    if (!makeAddress(path, address, error)) {
        return false;
    }
    // A socket left by an earlier run is replaced; any other file is not ours to remove.
    struct stat existing {};
    if (::lstat(path.c_str(), &existing) == 0) {
        if (!S_ISSOCK(existing.st_mode)) {
            error = path + " exists and is not a socket";
            return false;
        }
        ::unlink(path.c_str());
    }
    socket_.reset(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket_.valid() ||
        ::bind(socket_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(socket_.get(), 8) != 0) {
        error = "cannot listen on " + path + ": " + std::strerror(errno);
        socket_.reset();
        return false;
    }
    path_ = path;
    return true;
}

void ControlServer::addPollDescriptors(std::vector<pollfd>& descriptors) const {
    if (socket_.valid()) {
        descriptors.push_back({socket_.get(), POLLIN, 0});
    }
    for (const auto& client : clients_) {
        descriptors.push_back({client.socket.get(), POLLIN, 0});
    }
}

void ControlServer::handleReady(const std::vector<pollfd>& descriptors) {
    for (const auto& descriptor : descriptors) {
        if (descriptor.revents == 0) {
            continue;
        }
        if (socket_.valid() && descriptor.fd == socket_.get()) {
            UniqueFd client(::accept4(socket_.get(), nullptr, nullptr, SOCK_CLOEXEC));
            if (client.valid()) {
                clients_.push_back({std::move(client), {}});
            }
            continue;
        }
        for (auto it = clients_.begin(); it != clients_.end(); ++it) {
            if (it->socket.get() == descriptor.fd) {
                if (!serveClient(*it)) {
                    clients_.erase(it);
                }
                break;
            }
        }
    }
}

bool ControlServer::serveClient(Client& client) {
    char buffer[4096];
    const ssize_t n = ::read(client.socket.get(), buffer, sizeof buffer);
    if (n <= 0) {
        return n < 0 && errno == EINTR;
    }
    client.pending.append(buffer, static_cast<size_t>(n));
    size_t newline;
    while ((newline = client.pending.find('\n')) != std::string::npos) {
        const std::string line = client.pending.substr(0, newline);
        client.pending.erase(0, newline + 1);
        const std::string problem = execute_(line);
        const std::string answer = problem.empty() ? "ok\n" : "error: " + problem + "\n";
        if (!writeAll(client.socket.get(), answer.data(), answer.size())) {
            return false;
        }
    }
    return client.pending.size() < 64 * 1024;
}

bool sendControlCommand(const std::string& path, const std::string& command, std::string& answer) {
    sockaddr_un address;
    if (!makeAddress(path, address, answer)) {
        return false;
    }
    UniqueFd socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket.valid() ||
        ::connect(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        answer = "cannot connect to " + path + ": " + std::strerror(errno);
        return false;
    }
    const std::string line = command + "\n";
    if (!writeAll(socket.get(), line.data(), line.size())) {
        answer = "cannot send the command: " + std::string(std::strerror(errno));
        return false;
    }
    answer.clear();
    char c;
    while (::read(socket.get(), &c, 1) == 1 && c != '\n') {
        answer.push_back(c);
    }
    return answer == "ok";
}

} // namespace devicesim
