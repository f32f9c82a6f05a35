#include "DeviceStorage.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace devicesim {

namespace {

constexpr int kMaximumLinks = 40; // as the kernel allows in one path

using Components = std::vector<std::string>;

// The device names of the storage folder.
const std::vector<Components> kStorageMounts = {
    {"sdcard"}, {"storage", "emulated", "0"}, {"storage", "self", "primary"}};

// The folders above the storage mounts and what they contain.
struct FolderAboveStorage {
    Components path;
    std::vector<std::string> children;
};
const std::vector<FolderAboveStorage> kFoldersAboveStorage = {
    {{}, {"sdcard", "storage"}},
    {{"storage"}, {"emulated", "self"}},
    {{"storage", "emulated"}, {"0"}},
    {{"storage", "self"}, {"primary"}},
};

std::deque<std::string> split(std::string_view path) {
    std::deque<std::string> pieces;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t slash = path.find('/', start);
        const std::string_view piece = path.substr(start, slash - start);
        if (!piece.empty()) {
            pieces.emplace_back(piece);
        }
        if (slash == std::string_view::npos) {
            break;
        }
        start = slash + 1;
    }
    return pieces;
}

std::string joined(const Components& components) {
    std::string path;
    for (const auto& component : components) {
        path += "/" + component;
    }
    return path.empty() ? "/" : path;
}

std::string relativePath(const Components& components) {
    std::string path;
    for (const auto& component : components) {
        path += (path.empty() ? "" : "/") + component;
    }
    return path.empty() ? "." : path;
}

// The part of a device path inside the storage folder, when it lies there.
bool storageComponents(const Components& devicePath, Components& inside) {
    for (const auto& mount : kStorageMounts) {
        if (devicePath.size() >= mount.size() &&
            std::equal(mount.begin(), mount.end(), devicePath.begin())) {
            inside.assign(devicePath.begin() + static_cast<long>(mount.size()), devicePath.end());
            return true;
        }
    }
    return false;
}

const FolderAboveStorage* folderAboveStorage(const Components& devicePath) {
    for (const auto& folder : kFoldersAboveStorage) {
        if (folder.path == devicePath) {
            return &folder;
        }
    }
    return nullptr;
}

int openat2Beneath(int folder, const std::string& path, int flags) {
    open_how how{};
    how.flags = static_cast<uint64_t>(flags | O_CLOEXEC);
    how.mode = (flags & O_CREAT) ? 0666 : 0;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
    long fd;
    do {
        fd = ::syscall(SYS_openat2, folder, path.c_str(), &how, sizeof how);
    } while (fd < 0 && errno == EINTR);
    return static_cast<int>(fd);
}

// Opened without blocking, so that a named pipe or a device in the storage folder cannot hang
// the service; only regular files are read or written, as nothing else belongs in storage.
UniqueFd onlyRegularFile(UniqueFd file, int& error) {
    struct stat info {};
    if (!file.valid()) {
        return file;
    }
    if (::fstat(file.get(), &info) != 0) {
        error = errno;
        return {};
    }
    if (S_ISDIR(info.st_mode)) {
        error = EISDIR;
        return {};
    }
    if (!S_ISREG(info.st_mode)) {
        error = EINVAL;
        return {};
    }
    ::fcntl(file.get(), F_SETFL, ::fcntl(file.get(), F_GETFL) & ~O_NONBLOCK);
    return file;
}

} // namespace

DeviceStorage::DeviceStorage(const std::string& root, std::string& error) {
    root_.reset(::open(root.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!root_.valid()) {
        error = "cannot open " + root + ": " + std::strerror(errno);
        return;
    }
    int probeError = 0;
    if (!openBeneath({}, O_PATH | O_DIRECTORY, probeError).valid()) {
        error = std::string("openat2 is not available: ") + std::strerror(probeError);
    }
}

DeviceLocation DeviceStorage::resolve(std::string_view devicePath, bool followFinalLink) const {
    std::deque<std::string> pending = split(devicePath);
    Components resolved;
    int links = 0;
    DeviceLocation location;
    while (!pending.empty()) {
        std::string component = std::move(pending.front());
        pending.pop_front();
        if (component == ".") {
            continue;
        }
        if (component == "..") {
            if (!resolved.empty()) {
                resolved.pop_back();
            }
            continue;
        }
        resolved.push_back(std::move(component));
        Components inside;
        if (!storageComponents(resolved, inside) || inside.empty() ||
            (pending.empty() && !followFinalLink)) {
            continue;
        }
        const FileStatus found = statusInStorage(inside);
        if (found.error != 0 || !S_ISLNK(found.info.st_mode)) {
            continue; // a missing item: the rest of the path is taken as it is written
        }
        if (++links > kMaximumLinks) {
            location.error = ELOOP;
            break;
        }
        int folderError = 0;
        Components parent(inside.begin(), inside.end() - 1);
        UniqueFd folder = openBeneath(parent, O_PATH | O_DIRECTORY, folderError);
        char target[4096];
        const ssize_t length = folder.valid() ? ::readlinkat(folder.get(), inside.back().c_str(),
                                                             target, sizeof target)
                                              : -1;
        if (length <= 0 || static_cast<size_t>(length) >= sizeof target) {
            location.error = length < 0 ? errno : ENAMETOOLONG;
            break;
        }
        const std::string_view text(target, static_cast<size_t>(length));
        resolved.pop_back();
        if (text.front() == '/') {
            resolved.clear();
        }
        auto expansion = split(text);
        pending.insert(pending.begin(), expansion.begin(), expansion.end());
    }
    location.devicePath = joined(resolved);
    location.deviceComponents = resolved;
    if (storageComponents(resolved, location.components)) {
        location.kind = DeviceLocation::Kind::storage;
    } else if (folderAboveStorage(resolved)) {
        location.kind = DeviceLocation::Kind::folderAboveStorage;
    }
    return location;
}

FileStatus DeviceStorage::status(std::string_view devicePath, bool followFinalLink) const {
    const DeviceLocation location = resolve(devicePath, followFinalLink);
    if (location.error != 0) {
        return {location.error, {}};
    }
    switch (location.kind) {
    case DeviceLocation::Kind::storage:
        return statusInStorage(location.components);
    case DeviceLocation::Kind::folderAboveStorage:
        return folderAboveStorageStatus();
    case DeviceLocation::Kind::elsewhere:
        break;
    }
    return {ENOENT, {}};
}

std::vector<DirectoryEntry> DeviceStorage::list(std::string_view devicePath, int& error) const {
    std::vector<DirectoryEntry> entries;
    const DeviceLocation location = resolve(devicePath, true);
    error = location.error;
    if (error != 0) {
        return entries;
    }
    if (location.kind == DeviceLocation::Kind::folderAboveStorage) {
        entries.push_back({".", folderAboveStorageStatus()});
        entries.push_back({"..", folderAboveStorageStatus()});
        for (const auto& child : folderAboveStorage(location.deviceComponents)->children) {
            entries.push_back({child, folderAboveStorageStatus()});
        }
        return entries;
    }
    if (location.kind == DeviceLocation::Kind::elsewhere) {
        error = ENOENT;
        return entries;
    }
    UniqueFd folder = openBeneath(location.components, O_RDONLY | O_DIRECTORY, error);
    if (!folder.valid()) {
        return entries;
    }
    DIR* stream = ::fdopendir(folder.get());
    if (!stream) {
        error = errno;
        return entries;
    }
    const int folderFd = folder.release();
    while (const dirent* entry = ::readdir(stream)) {
        DirectoryEntry item{entry->d_name, {}};
        if (::fstatat(folderFd, entry->d_name, &item.status.info, AT_SYMLINK_NOFOLLOW) != 0) {
            item.status.error = errno;
        }
        entries.push_back(std::move(item));
    }
    ::closedir(stream);
    return entries;
}

UniqueFd DeviceStorage::openForReading(std::string_view devicePath, int& error) const {
    const DeviceLocation location = resolve(devicePath, true);
    error = location.error;
    if (error != 0) {
        return {};
    }
    switch (location.kind) {
    case DeviceLocation::Kind::storage:
        return onlyRegularFile(openBeneath(location.components, O_RDONLY | O_NONBLOCK, error),
                               error);
    case DeviceLocation::Kind::folderAboveStorage:
        error = EACCES;
        return {};
    case DeviceLocation::Kind::elsewhere:
        break;
    }
    error = ENOENT;
    return {};
}

CreatedFile DeviceStorage::createFile(std::string_view devicePath, mode_t mode, int& error) const {
    CreatedFile created;
    const DeviceLocation location = resolve(devicePath, true);
    error = location.error;
    if (error != 0) {
        return created;
    }
    if (location.kind != DeviceLocation::Kind::storage) {
        error = EACCES; // the rest of the phone is not the shell user's to write
        return created;
    }
    if (location.components.empty()) {
        error = EISDIR;
        return created;
    }
    created.folder =
        makeFolders(Components(location.components.begin(), location.components.end() - 1), error);
    if (!created.folder.valid()) {
        return created;
    }
    created.name = location.components.back();
    UniqueFd file(::openat(created.folder.get(), created.name.c_str(),
                           O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                           mode & 0777));
    if (!file.valid()) {
        error = errno;
    }
    created.file = onlyRegularFile(std::move(file), error);
    if (!created.file.valid()) {
        // Nothing was written: whatever is there stays, and a failed push must not remove it.
        created.folder.reset();
        created.name.clear();
    }
    return created;
}

int DeviceStorage::createSymbolicLink(std::string_view devicePath, const std::string& target,
                                      time_t modificationTime) const {
    const DeviceLocation location = resolve(devicePath, false);
    if (location.error != 0) {
        return location.error;
    }
    if (location.kind != DeviceLocation::Kind::storage) {
        return EACCES;
    }
    if (location.components.empty()) {
        return EEXIST;
    }
    int error = 0;
    UniqueFd folder =
        makeFolders(Components(location.components.begin(), location.components.end() - 1), error);
    if (!folder.valid()) {
        return error;
    }
    const std::string& name = location.components.back();
    struct stat existing {};
    if (::fstatat(folder.get(), name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0 &&
        !S_ISDIR(existing.st_mode)) {
        ::unlinkat(folder.get(), name.c_str(), 0);
    }
    if (::symlinkat(target.c_str(), folder.get(), name.c_str()) != 0) {
        return errno;
    }
    const timespec times[2] = {{modificationTime, 0}, {modificationTime, 0}};
    ::utimensat(folder.get(), name.c_str(), times, AT_SYMLINK_NOFOLLOW);
    return 0;
}

UniqueFd DeviceStorage::openBeneath(const Components& components, int flags, int& error) const {
    const int fd = openat2Beneath(root_.get(), relativePath(components), flags);
    if (fd < 0) {
        // A link met here appeared after resolution; refuse rather than follow it.
        error = errno;
    }
    return UniqueFd(fd);
}

FileStatus DeviceStorage::statusInStorage(const Components& components) const {
    FileStatus result;
    if (components.empty()) {
        if (::fstatat(root_.get(), "", &result.info, AT_EMPTY_PATH) != 0) {
            result.error = errno;
        }
        return result;
    }
    UniqueFd folder = openBeneath(Components(components.begin(), components.end() - 1),
                                  O_PATH | O_DIRECTORY, result.error);
    if (folder.valid() && ::fstatat(folder.get(), components.back().c_str(), &result.info,
                                    AT_SYMLINK_NOFOLLOW) != 0) {
        result.error = errno;
    }
    return result;
}

FileStatus DeviceStorage::folderAboveStorageStatus() const {
    FileStatus result = statusInStorage({});
    result.info.st_mode = S_IFDIR | 0755;
    result.info.st_uid = 0;
    result.info.st_gid = 0;
    return result;
}

UniqueFd DeviceStorage::makeFolders(const Components& components, int& error) const {
    UniqueFd current = openBeneath({}, O_PATH | O_DIRECTORY, error);
    for (const auto& component : components) {
        if (!current.valid()) {
            break;
        }
        if (::mkdirat(current.get(), component.c_str(), 0775) != 0 && errno != EEXIST) {
            error = errno;
            return {};
        }
        const int next = openat2Beneath(current.get(), component, O_PATH | O_DIRECTORY);
        if (next < 0) {
            error = errno;
            return {};
        }
        current.reset(next);
    }
    return current;
}

} // namespace devicesim
