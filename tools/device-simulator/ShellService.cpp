#include "ShellService.h"

#include "BackgroundThreads.h"
#include "ChildProcess.h"
#include "DeviceContext.h"
#include "DeviceSandbox.h"
#include "DeviceStream.h"
#include "ShellPacket.h"

#include <cerrno>
#include <cstdio>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace devicesim {

namespace {

// A command whose host hung up gets this long to finish what it was given before SIGKILL.
constexpr auto kGraceAfterHangUp = std::chrono::milliseconds(1000);
constexpr size_t kReadSize = 64 * 1024;

// The host's "rows x columns, width x height in pixels" of a terminal session.
void applyWindowSize(int terminal, const std::string& text) {
    int rows = 0, columns = 0, width = 0, height = 0;
    if (terminal < 0 ||
        std::sscanf(text.c_str(), "%dx%d,%dx%d", &rows, &columns, &width, &height) != 4) {
        return;
    }
    winsize size{};
    size.ws_row = static_cast<unsigned short>(rows);
    size.ws_col = static_cast<unsigned short>(columns);
    size.ws_xpixel = static_cast<unsigned short>(width);
    size.ws_ypixel = static_cast<unsigned short>(height);
    ::ioctl(terminal, TIOCSWINSZ, &size);
}

// Feeds the host's data to the command until the stream closes.
void pumpInput(DeviceStream& stream, UniqueFd input, UniqueFd terminal, bool packetProtocol) {
    ShellPacketReader reader;
    auto feed = [&input](const std::string& data) {
        if (input.valid() && !writeAll(input.get(), data.data(), data.size())) {
            input.reset(); // the command is gone or closed its input; keep draining the host
        }
    };
    while (auto data = stream.read()) {
        if (!packetProtocol) {
            feed(*data);
            continue;
        }
        reader.append(*data);
        while (auto packet = reader.next()) {
            switch (packet->id) {
            case ShellPacketId::standardInput:
                feed(packet->data);
                break;
            case ShellPacketId::closeInput:
                input.reset();
                break;
            case ShellPacketId::windowSize:
                applyWindowSize(terminal.get(), packet->data);
                break;
            default:
                break;
            }
        }
    }
}

// Forwards the command's output until it closes its end; false when the host went away first.
bool pumpOutput(DeviceStream& stream, UniqueFd& output, UniqueFd& errors, bool packetProtocol) {
    std::string buffer(kReadSize, '\0');
    while (output.valid() || errors.valid()) {
        if (stream.closed()) {
            return false;
        }
        pollfd fds[2] = {{output.get(), POLLIN, 0}, {errors.get(), POLLIN, 0}};
        const int ready = ::poll(fds, 2, 100);
        if (ready < 0 && errno != EINTR) {
            return false;
        }
        for (int i = 0; i < 2 && ready > 0; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) {
                continue;
            }
            UniqueFd& source = i == 0 ? output : errors;
            const ssize_t n = ::read(source.get(), buffer.data(), buffer.size());
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) { // end of output; a terminal reports EIO once its last user is gone
                source.reset();
                continue;
            }
            const std::string_view data(buffer.data(), static_cast<size_t>(n));
            const bool written =
                packetProtocol
                    ? stream.write(encodeShellPacket(i == 0 ? ShellPacketId::standardOutput
                                                            : ShellPacketId::standardError,
                                                     data))
                    : stream.write(data);
            if (!written) {
                return false;
            }
        }
    }
    return true;
}

ChildStreams streamsFor(const ServiceRequest& request) {
    if (request.terminal) {
        return ChildStreams::pseudoTerminal;
    }
    // Without the packet protocol there is one byte stream back, as on a phone.
    return request.packetProtocol ? ChildStreams::separatePipes : ChildStreams::mergedOutput;
}

} // namespace

void runShellService(const ServiceRequest& request, const std::shared_ptr<DeviceStream>& stream) {
    auto& context = stream->context();
    std::string error;
    ChildProcess child = startChildProcess(
        context.sandbox.commandLine(request.command, request.terminal ? request.terminalType : ""),
        context.sandbox.launcherEnvironment(), streamsFor(request), error);
    if (child.pid < 0) {
        const std::string message = "pavrel-device-sim: " + error + "\n";
        if (request.packetProtocol) {
            stream->write(encodeShellPacket(ShellPacketId::standardError, message));
            stream->write(encodeShellPacket(ShellPacketId::exitStatus, std::string(1, '\xff')));
        } else {
            stream->write(message);
        }
        return;
    }
    context.threads.start([stream, input = std::make_shared<UniqueFd>(std::move(child.input)),
                           terminal = std::make_shared<UniqueFd>(std::move(child.terminal)),
                           packetProtocol = request.packetProtocol] {
        pumpInput(*stream, std::move(*input), std::move(*terminal), packetProtocol);
    });
    const bool finished = pumpOutput(*stream, child.output, child.errors, request.packetProtocol);
    child.output.reset();
    child.errors.reset();
    const int status = waitForChild(
        child.pid, [&] { return !finished || stream->closed(); }, kGraceAfterHangUp);
    if (request.packetProtocol && finished) {
        stream->write(encodeShellPacket(ShellPacketId::exitStatus,
                                        std::string(1, static_cast<char>(status & 0xff))));
    }
}

} // namespace devicesim
