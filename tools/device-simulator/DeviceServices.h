// The services a stream can open on the phone ("shell,v2,raw:ls", "exec:cat x", "sync:").
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace devicesim {

class DeviceStream;

struct ServiceRequest {
    enum class Kind { shell, exec, sync };
    Kind kind = Kind::shell;
    bool packetProtocol = false; // shell v2: stdout, stderr and exit status in packets
    bool terminal = false;       // a pseudo-terminal instead of pipes
    std::string terminalType;    // TERM for a terminal session
    std::string command;         // empty: an interactive shell
};

// Unknown services give nothing; the connection then refuses the OPEN.
std::optional<ServiceRequest> parseServiceRequest(std::string_view destination);

// Runs the service on its own thread until it closes the stream.
void startService(const ServiceRequest& request, std::shared_ptr<DeviceStream> stream);

} // namespace devicesim
