#include "Simulator.h"

#include "BackgroundThreads.h"
#include "ChildProcess.h"
#include "ControlCommand.h"
#include "ControlServer.h"
#include "DeviceContext.h"
#include "DeviceIdentity.h"
#include "DeviceSandbox.h"
#include "DeviceServer.h"
#include "DeviceStorage.h"
#include "FaultState.h"
#include "SystemImage.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <poll.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace devicesim {

namespace {

// Services end soon after their connections drop; a shell command gets its grace period.
constexpr auto kShutdownWait = std::chrono::seconds(5);

struct Phone {
    DeviceIdentity identity;
    FaultState faults;
    SystemImage& system;
    DeviceSandbox sandbox;
    BackgroundThreads threads;
    DeviceServer* server = nullptr;

    void apply(const ControlCommand& command) {
        switch (command.kind) {
        case ControlCommand::Kind::authorisation:
            faults.setAuthorisationRefused(command.enabled);
            // The adb server reconnects and meets the new answer in the handshake.
            server->dropAll();
            break;
        case ControlCommand::Kind::dropNow:
            server->dropAll();
            break;
        case ControlCommand::Kind::dropAfter:
            faults.setDropAfter(command.amount);
            break;
        case ControlCommand::Kind::silence:
            faults.setSilent(command.enabled);
            break;
        case ControlCommand::Kind::rate:
            faults.setRate(command.amount);
            break;
        case ControlCommand::Kind::batteryLevel:
            system.setBatteryLevel(static_cast<int>(command.amount.value_or(0)));
            break;
        case ControlCommand::Kind::charging:
            system.setCharging(command.enabled);
            break;
        case ControlCommand::Kind::storage:
            system.setStorageReport(command.amount ? std::optional<StorageReport>(StorageReport{
                                                         *command.amount, command.total})
                                                   : std::nullopt);
            break;
        }
    }

    // What went wrong, or nothing.
    std::string execute(std::string_view line) {
        const auto parsed = parseControlCommand(line);
        if (parsed.command) {
            apply(*parsed.command);
        }
        return parsed.error;
    }
};

bool isFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

UniqueFd terminationSignals() {
    sigset_t signals;
    ::sigemptyset(&signals);
    ::sigaddset(&signals, SIGTERM);
    ::sigaddset(&signals, SIGINT);
    ::sigaddset(&signals, SIGHUP);
    // Blocked before any thread starts, so that every thread inherits the mask and only the
    // signalfd sees them.
    ::pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    return UniqueFd(::signalfd(-1, &signals, SFD_CLOEXEC));
}

// Finds out at start, not at the first command, when bubblewrap cannot set up the shell here
// (no user namespaces, for example).
bool sandboxWorks(const DeviceSandbox& sandbox, std::string& error) {
    ChildProcess probe =
        startChildProcess(sandbox.commandLine("exit 0", ""), sandbox.launcherEnvironment(),
                          ChildStreams::mergedOutput, error);
    if (probe.pid < 0) {
        return false;
    }
    probe.input.reset();
    std::string said;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(probe.output.get(), buffer, sizeof buffer)) > 0) {
        said.append(buffer, static_cast<size_t>(n));
    }
    if (waitForChild(
            probe.pid, [] { return false; }, std::chrono::milliseconds(0)) != 0) {
        error = said.empty() ? "bwrap failed" : said;
        while (!error.empty() && error.back() == '\n') {
            error.pop_back();
        }
        return false;
    }
    return true;
}

} // namespace

int runSimulator(const SimulatorOptions& options) {
    UniqueFd signals = terminationSignals();
    std::signal(SIGPIPE, SIG_IGN);
    auto fail = [](const std::string& message) {
        std::fprintf(stderr, "pavrel-device-sim: %s\n", message.c_str());
        return 1;
    };
    if (!isFolder(options.root)) {
        return fail(options.root + " is not a folder");
    }
    const std::string bubblewrap = DeviceSandbox::findBubblewrap();
    if (bubblewrap.empty()) {
        return fail("bwrap (bubblewrap) is not installed; the phone's shell needs it");
    }
    std::string error;
    char* rootPath = ::realpath(options.root.c_str(), nullptr);
    if (!rootPath) {
        return fail("cannot resolve " + options.root + ": " + std::strerror(errno));
    }
    const std::string root = rootPath;
    std::free(rootPath);
    DeviceStorage storage(root, error);
    if (!error.empty()) {
        return fail(error);
    }
    const DeviceIdentity identity{options.model, options.androidVersion};
    SystemImage system(identity, options.batteryLevel, options.charging, error);
    if (!error.empty()) {
        return fail(error);
    }
    Phone phone{identity, {}, system, DeviceSandbox(bubblewrap, root, system.path()), {}};
    if (!sandboxWorks(phone.sandbox, error)) {
        return fail("the phone's shell cannot start: " + error);
    }
    DeviceContext context{phone.identity, phone.faults, phone.sandbox, storage, phone.threads, {}};
    DeviceServer server(context);
    phone.server = &server;
    context.dropAllConnections = [&server] { server.dropAll(); };
    for (const auto& fault : options.faults) {
        phone.execute(fault);
    }
    if (!server.listen(options.port, error)) {
        return fail(error);
    }
    ControlServer control([&phone](std::string_view line) { return phone.execute(line); });
    if (!options.controlPath.empty() && !control.listen(options.controlPath, error)) {
        return fail(error);
    }
    std::printf("pavrel-device-sim: listening on 127.0.0.1:%u\n", server.port());
    std::fflush(stdout);

    for (;;) {
        std::vector<pollfd> descriptors = {{signals.get(), POLLIN, 0},
                                           {server.socket(), POLLIN, 0}};
        control.addPollDescriptors(descriptors);
        if (::poll(descriptors.data(), descriptors.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        if (descriptors[0].revents != 0) {
            break;
        }
        if (descriptors[1].revents != 0) {
            server.acceptConnection();
        }
        control.handleReady(descriptors);
    }

    server.stopListening();
    phone.faults.setSilent(false);
    server.dropAll();
    if (!phone.threads.waitUntilIdle(kShutdownWait)) {
        // A service is stuck; its sandbox dies with us (bwrap --die-with-parent).
        std::fprintf(stderr, "pavrel-device-sim: stopping with work still running\n");
        std::fflush(stderr);
        std::error_code ignored;
        std::filesystem::remove_all(system.path(), ignored);
        if (!options.controlPath.empty()) {
            ::unlink(options.controlPath.c_str());
        }
        std::_Exit(0);
    }
    return 0;
}

} // namespace devicesim
