// The phone's file system as the sync service sees it: the storage folder under its device
// names (/sdcard, /storage/emulated/0, /storage/self/primary), the folders above them, and
// nothing else. Device paths, ".." and symbolic links are resolved in the device's name space,
// so no path and no link leads out of the storage folder; every access to it goes through
// openat2 with RESOLVE_BENEATH and without symbolic links as a second guard.
#pragma once

#include "FileDescriptorIO.h"

#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace devicesim {

struct FileStatus {
    int error = 0; // an errno value; `info` is meaningful only when it is 0
    struct stat info {};
};

struct DirectoryEntry {
    std::string name;
    FileStatus status;
};

// A file created for a push, kept so that a failed push can remove it again.
struct CreatedFile {
    UniqueFd file;
    UniqueFd folder;
    std::string name;
};

// Where a device path leads.
struct DeviceLocation {
    enum class Kind { storage, folderAboveStorage, elsewhere };
    Kind kind = Kind::elsewhere;
    std::vector<std::string> components; // inside the storage folder, for `storage`
    std::string devicePath;              // the resolved device path
    std::vector<std::string> deviceComponents;
    int error = 0; // ELOOP for a loop of links
};

class DeviceStorage {
public:
    // Opens the storage folder; `error` is set when it cannot be used.
    DeviceStorage(const std::string& root, std::string& error);

    DeviceLocation resolve(std::string_view devicePath, bool followFinalLink) const;

    FileStatus status(std::string_view devicePath, bool followFinalLink) const;
    std::vector<DirectoryEntry> list(std::string_view devicePath, int& error) const;
    UniqueFd openForReading(std::string_view devicePath, int& error) const;
    // Creates missing parent folders, then the file (truncating one that is there).
    CreatedFile createFile(std::string_view devicePath, mode_t mode, int& error) const;
    int createSymbolicLink(std::string_view devicePath, const std::string& target,
                           time_t modificationTime) const;

private:
    UniqueFd openBeneath(const std::vector<std::string>& components, int flags, int& error) const;
    FileStatus statusInStorage(const std::vector<std::string>& components) const;
    FileStatus folderAboveStorageStatus() const;
    UniqueFd makeFolders(const std::vector<std::string>& components, int& error) const;

    UniqueFd root_;
};

} // namespace devicesim
