#include "DeviceServices.h"

#include "BackgroundThreads.h"
#include "DeviceContext.h"
#include "DeviceStream.h"
#include "ShellService.h"
#include "SyncService.h"

namespace devicesim {

namespace {

// "shell,v2,TERM=xterm,pty:" — options between commas before the first colon.
ServiceRequest parseShellRequest(std::string_view options, std::string_view command) {
    ServiceRequest request;
    request.kind = ServiceRequest::Kind::shell;
    request.command = std::string(command);
    request.terminal = command.empty();
    while (!options.empty()) {
        const size_t comma = options.find(',');
        const std::string_view option = options.substr(0, comma);
        if (option == "v2") {
            request.packetProtocol = true;
        } else if (option == "raw") {
            request.terminal = false;
        } else if (option == "pty") {
            request.terminal = true;
        } else if (option.starts_with("TERM=")) {
            request.terminalType = std::string(option.substr(5));
        }
        options = comma == std::string_view::npos ? std::string_view() : options.substr(comma + 1);
    }
    return request;
}

} // namespace

std::optional<ServiceRequest> parseServiceRequest(std::string_view destination) {
    const size_t colon = destination.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view head = destination.substr(0, colon);
    const std::string_view rest = destination.substr(colon + 1);
    if (head == "shell" || head.starts_with("shell,")) {
        return parseShellRequest(head.substr(std::min<size_t>(head.size(), 6)), rest);
    }
    if (head == "exec") {
        ServiceRequest request;
        request.kind = ServiceRequest::Kind::exec;
        request.command = std::string(rest);
        return request;
    }
    if (head == "sync" && rest.empty()) {
        ServiceRequest request;
        request.kind = ServiceRequest::Kind::sync;
        return request;
    }
    return std::nullopt;
}

void startService(const ServiceRequest& request, std::shared_ptr<DeviceStream> stream) {
    auto& threads = stream->context().threads;
    threads.start([request, stream = std::move(stream)] {
        if (request.kind == ServiceRequest::Kind::sync) {
            runSyncService(*stream);
        } else {
            runShellService(request, stream);
        }
        stream->close();
    });
}

} // namespace devicesim
