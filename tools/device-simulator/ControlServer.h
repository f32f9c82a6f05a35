// The control socket (--control PATH): a Unix stream socket that takes one command per line and
// answers each with "ok" or "error: <why>". Served from the simulator's main loop.
#pragma once

#include "FileDescriptorIO.h"

#include <functional>
#include <poll.h>
#include <string>
#include <string_view>
#include <vector>

namespace devicesim {

class ControlServer {
public:
    // `execute` runs one command and returns an empty text or what went wrong.
    explicit ControlServer(std::function<std::string(std::string_view)> execute);
    ~ControlServer();
    ControlServer(const ControlServer&) = delete;
    ControlServer& operator=(const ControlServer&) = delete;

    bool listen(const std::string& path, std::string& error);

    void addPollDescriptors(std::vector<pollfd>& descriptors) const;
    void handleReady(const std::vector<pollfd>& descriptors);

private:
    struct Client {
        UniqueFd socket;
        std::string pending;
    };
    bool serveClient(Client& client);

    std::function<std::string(std::string_view)> execute_;
    std::string path_;
    UniqueFd socket_;
    std::vector<Client> clients_;
};

// Sends one command to a running simulator and returns its answer line.
bool sendControlCommand(const std::string& path, const std::string& command, std::string& answer);

} // namespace devicesim
