#include "DeviceSandbox.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace devicesim {

namespace {

constexpr const char* kShellPath =
    "/system/bin:/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin";

// Android's shell user.
constexpr const char* kShellUserId = "2000";

// Top-level host folders the programs need. On merged-/usr systems several are symbolic links
// into /usr and are recreated as such; real folders are bound read-only.
const std::vector<std::string> kHostFolders = {"bin", "sbin", "lib", "lib32", "lib64", "libx32"};

void appendHostFolder(std::vector<std::string>& arguments, const std::string& name) {
    const std::string path = "/" + name;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return;
    }
    if (S_ISLNK(info.st_mode)) {
        char target[4096];
        const ssize_t length = ::readlink(path.c_str(), target, sizeof target - 1);
        if (length > 0) {
            arguments.insert(arguments.end(),
                             {"--symlink", std::string(target, static_cast<size_t>(length)), path});
        }
    } else if (S_ISDIR(info.st_mode)) {
        arguments.insert(arguments.end(), {"--ro-bind", path, path});
    }
}

} // namespace

DeviceSandbox::DeviceSandbox(std::string bubblewrap, std::string storageRoot,
                             std::string systemFolder)
    : bubblewrap_(std::move(bubblewrap)), storageRoot_(std::move(storageRoot)),
      systemFolder_(std::move(systemFolder)) {}

std::string DeviceSandbox::findBubblewrap() {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        const size_t end = folders.find(':', start);
        const std::string folder = folders.substr(start, end - start);
        if (!folder.empty()) {
            const std::string candidate = folder + "/bwrap";
            if (::access(candidate.c_str(), X_OK) == 0) {
                return candidate;
            }
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return {};
}

std::vector<std::string> DeviceSandbox::commandLine(const std::string& command,
                                                    const std::string& terminalType) const {
    // A user namespace makes the shell an unprivileged user inside: it cannot remount the
    // read-only host folders, whatever user the simulator runs as.
    std::vector<std::string> arguments = {bubblewrap_,         "--unshare-user", "--uid",
                                          kShellUserId,        "--gid",          kShellUserId,
                                          "--unshare-pid",     "--unshare-ipc",  "--unshare-net",
                                          "--unshare-uts",     "--hostname",     "localhost",
                                          "--die-with-parent", "--tmpfs",        "/",
                                          "--ro-bind",         "/usr",           "/usr",
                                          "--ro-bind",         "/etc",           "/etc"};
    for (const auto& folder : kHostFolders) {
        appendHostFolder(arguments, folder);
    }
    arguments.insert(arguments.end(), {"--proc",
                                       "/proc",
                                       "--dev",
                                       "/dev",
                                       "--tmpfs",
                                       "/tmp",
                                       "--ro-bind",
                                       systemFolder_,
                                       "/system",
                                       "--perms",
                                       "0755",
                                       "--dir",
                                       "/storage",
                                       "--perms",
                                       "0755",
                                       "--dir",
                                       "/storage/emulated",
                                       "--bind",
                                       storageRoot_,
                                       "/storage/emulated/0",
                                       "--bind",
                                       storageRoot_,
                                       "/sdcard",
                                       "--perms",
                                       "0755",
                                       "--dir",
                                       "/storage/self",
                                       "--symlink",
                                       "/storage/emulated/0",
                                       "/storage/self/primary",
                                       "--perms",
                                       "0771",
                                       "--dir",
                                       "/data/local/tmp",
                                       "--clearenv",
                                       "--setenv",
                                       "PATH",
                                       kShellPath,
                                       "--setenv",
                                       "HOME",
                                       "/",
                                       "--setenv",
                                       "LANG",
                                       "C.UTF-8",
                                       "--setenv",
                                       "TMPDIR",
                                       "/data/local/tmp",
                                       "--setenv",
                                       "EXTERNAL_STORAGE",
                                       "/sdcard",
                                       "--setenv",
                                       "ANDROID_DATA",
                                       "/data",
                                       "--setenv",
                                       "ANDROID_ROOT",
                                       "/system"});
    if (!terminalType.empty()) {
        arguments.insert(arguments.end(), {"--setenv", "TERM", terminalType});
    }
    arguments.insert(arguments.end(), {"--chdir", "/", "/bin/sh"});
    if (!command.empty()) {
        arguments.insert(arguments.end(), {"-c", command});
    }
    return arguments;
}

std::vector<std::string> DeviceSandbox::launcherEnvironment() const {
    return {"PATH=/usr/sbin:/usr/bin:/sbin:/bin"};
}

} // namespace devicesim
