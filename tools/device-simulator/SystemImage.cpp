#include "SystemImage.h"

#include "DeviceCommandScripts.h"
#include "DeviceIdentity.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace devicesim {

namespace {
// Battery status codes of Android's BatteryManager.
constexpr int kStatusCharging = 2;
constexpr int kStatusDischarging = 3;
constexpr int kStatusFull = 5;
} // namespace

SystemImage::SystemImage(const DeviceIdentity& identity, int batteryLevel, bool charging,
                         std::string& error)
    : batteryLevel_(batteryLevel), charging_(charging) {
    const char* temporary = std::getenv("TMPDIR");
    std::string pattern =
        std::string(temporary && *temporary ? temporary : "/tmp") + "/pavrel-device-sim-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        error = "cannot create a temporary folder: " + std::string(std::strerror(errno));
        return;
    }
    path_ = pattern;
    if (::mkdir((path_ + "/bin").c_str(), 0755) != 0) {
        error = "cannot create " + path_ + "/bin: " + std::strerror(errno);
        return;
    }
    ::chmod(path_.c_str(), 0755);
    bool written = true;
    for (const auto& [name, script] : deviceCommandScripts()) {
        written = written && writeFile("bin/" + name, script, 0755);
    }
    std::string properties;
    for (const auto& [name, value] : identity.systemProperties()) {
        properties += name + "=" + value + "\n";
    }
    written = written && writeFile("build.prop", properties, 0644);
    writeBattery();
    if (!written) {
        error = "cannot write the phone's commands into " + path_;
    }
}

SystemImage::~SystemImage() {
    if (!path_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
}

void SystemImage::setBatteryLevel(int level) {
    std::lock_guard lock(mutex_);
    batteryLevel_ = level;
    writeBattery();
}

void SystemImage::setCharging(bool charging) {
    std::lock_guard lock(mutex_);
    charging_ = charging;
    writeBattery();
}

void SystemImage::setStorageReport(std::optional<StorageReport> report) {
    std::lock_guard lock(mutex_);
    if (!report) {
        ::unlink((path_ + "/storage").c_str());
        return;
    }
    writeFile("storage",
              "free=" + std::to_string(report->freeBytes) +
                  "\ntotal=" + std::to_string(report->totalBytes) + "\n",
              0644);
}

void SystemImage::writeBattery() {
    const int status = !charging_             ? kStatusDischarging
                       : batteryLevel_ >= 100 ? kStatusFull
                                              : kStatusCharging;
    writeFile("battery",
              "level=" + std::to_string(batteryLevel_) + "\nstatus=" + std::to_string(status) +
                  "\nplugged=" + (charging_ ? "usb" : "none") + "\n",
              0644);
}

bool SystemImage::writeFile(const std::string& name, const std::string& content, unsigned mode) {
    const std::string target = path_ + "/" + name;
    const std::string staged = target + ".new";
    {
        std::ofstream out(staged, std::ios::binary | std::ios::trunc);
        out << content;
        if (!out.flush()) {
            return false;
        }
    }
    return ::chmod(staged.c_str(), mode) == 0 && ::rename(staged.c_str(), target.c_str()) == 0;
}

} // namespace devicesim
