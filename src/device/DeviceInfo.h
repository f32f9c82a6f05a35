// The summary of a device shown in the browser's device card.
#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

struct DeviceInfo {
    QString model;
    QString androidVersion;
    std::optional<int> batteryLevel;
    bool isCharging = false;
    std::optional<qint64> freeStorage;
    std::optional<qint64> totalStorage;

    // Rounded half away from zero; absent unless both sizes are known and the total is positive.
    std::optional<int> freeStoragePercent() const;

    bool operator==(const DeviceInfo&) const = default;
};
