#include "DeviceInfo.h"

#include <cmath>

std::optional<int> DeviceInfo::freeStoragePercent() const {
    if (!freeStorage || !totalStorage || *totalStorage < 1) {
        return std::nullopt;
    }
    const double percent =
        static_cast<double>(*freeStorage) / static_cast<double>(*totalStorage) * 100.0;
    return static_cast<int>(std::round(percent));
}
