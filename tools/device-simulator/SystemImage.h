// The folder mounted read-only at /system in the phone's shell: the phone's own commands in
// bin/, build.prop for getprop, and the battery and storage state that dumpsys and df report.
// The state files are replaced whole, so a command never reads half an update.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

namespace devicesim {

struct DeviceIdentity;

struct StorageReport {
    uint64_t freeBytes = 0;
    uint64_t totalBytes = 0;
};

class SystemImage {
public:
    // Creates the folder in the temporary directory; `error` is set when that fails.
    SystemImage(const DeviceIdentity& identity, int batteryLevel, bool charging,
                std::string& error);
    ~SystemImage();
    SystemImage(const SystemImage&) = delete;
    SystemImage& operator=(const SystemImage&) = delete;

    const std::string& path() const { return path_; }

    void setBatteryLevel(int level);
    void setCharging(bool charging);
    // Nothing: df reports the host's real figures.
    void setStorageReport(std::optional<StorageReport> report);

private:
    bool writeFile(const std::string& name, const std::string& content, unsigned mode);
    void writeBattery();

    std::mutex mutex_;
    std::string path_;
    int batteryLevel_ = 0;
    bool charging_ = false;
};

} // namespace devicesim
