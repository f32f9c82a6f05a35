// The phone's shell: each command runs under bubblewrap in private namespaces, with a tmpfs root,
// the host's programs read-only, the storage folder at /sdcard and /storage/emulated/0, a private
// /tmp and the phone's own commands in /system/bin. Only the storage folder is writable.
#pragma once

#include <string>
#include <vector>

namespace devicesim {

class DeviceSandbox {
public:
    // `bubblewrap` is the bwrap executable, `storageRoot` the host folder served as /sdcard,
    // `systemFolder` the host folder mounted read-only at /system.
    DeviceSandbox(std::string bubblewrap, std::string storageRoot, std::string systemFolder);

    // Finds bwrap on PATH; empty when it is not installed.
    static std::string findBubblewrap();

    // The command line that runs `command` in the phone's shell (an interactive shell when
    // empty); `terminalType` sets TERM for terminal sessions.
    std::vector<std::string> commandLine(const std::string& command,
                                         const std::string& terminalType) const;
    // The environment bwrap itself starts with (the shell gets its own, set inside).
    std::vector<std::string> launcherEnvironment() const;

private:
    std::string bubblewrap_;
    std::string storageRoot_;
    std::string systemFolder_;
};

} // namespace devicesim
