#include "DeviceIdentity.h"

#include <map>
#include <sys/utsname.h>

namespace devicesim {

const std::vector<std::string> kAdvertisedFeatures = {
    "shell_v2", "stat_v2", "ls_v2", "fixed_push_mkdir", "fixed_push_symlink_timestamp",
};

namespace {

std::string joined(const std::vector<std::string>& pieces, char separator) {
    std::string text;
    for (const auto& piece : pieces) {
        if (!text.empty()) {
            text.push_back(separator);
        }
        text += piece;
    }
    return text;
}

std::string processorAbi() {
    utsname machine{};
    if (::uname(&machine) == 0 && std::string(machine.machine) == "aarch64") {
        return "arm64-v8a";
    }
    return "x86_64";
}

} // namespace

std::string DeviceIdentity::productName() const {
    std::string name;
    for (char c : model) {
        const bool digitOrLetter = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z');
        if (c >= 'A' && c <= 'Z') {
            name.push_back(static_cast<char>(c - 'A' + 'a'));
        } else {
            name.push_back(digitOrLetter ? c : '_');
        }
    }
    return name.empty() ? "phone" : name;
}

std::string DeviceIdentity::sdkLevel() const {
    static const std::map<std::string, std::string> levels = {
        {"6", "23"},  {"7", "24"},  {"7.1", "25"}, {"8", "26"},  {"8.1", "27"},
        {"9", "28"},  {"10", "29"}, {"11", "30"},  {"12", "31"}, {"13", "33"},
        {"14", "34"}, {"15", "35"}, {"16", "36"},
    };
    const auto found = levels.find(androidVersion);
    return found == levels.end() ? std::string() : found->second;
}

std::string DeviceIdentity::connectionBanner() const {
    return "device::ro.product.name=" + productName() + ";ro.product.model=" + model +
           ";ro.product.device=" + productName() + ";features=" + joined(kAdvertisedFeatures, ',');
}

std::vector<std::pair<std::string, std::string>> DeviceIdentity::systemProperties() const {
    std::vector<std::pair<std::string, std::string>> properties = {
        {"ro.product.model", model},
        {"ro.product.name", productName()},
        {"ro.product.device", productName()},
        {"ro.product.brand", "Pavrel"},
        {"ro.product.manufacturer", "Pavrel"},
        {"ro.product.cpu.abi", processorAbi()},
        {"ro.build.version.release", androidVersion},
    };
    if (!sdkLevel().empty()) {
        properties.emplace_back("ro.build.version.sdk", sdkLevel());
    }
    properties.emplace_back("ro.build.type", "user");
    properties.emplace_back("sys.boot_completed", "1");
    return properties;
}

} // namespace devicesim
