// The bundle's description of its adb build (adb-distribution.json), shown by the about and
// licence sheets and written into the diagnostic session header.
#pragma once

#include "AppBundle.h"

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <optional>

struct ADBDistributionInfo {
    QString version;
    QString revision;
    QUrl sourceURL;
    QString sha256;

    bool operator==(const ADBDistributionInfo&) const = default;
};

// Decodes the manifest; all four keys are required and must be JSON strings.
std::optional<ADBDistributionInfo> decodeADBDistributionInfo(const QByteArray& json);

// The manifest of `bundle`, or nothing when it is missing or does not decode.
std::optional<ADBDistributionInfo> loadADBDistributionInfo(const AppBundle& bundle = AppBundle::main());
