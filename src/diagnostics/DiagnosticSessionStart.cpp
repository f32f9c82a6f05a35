#include "DiagnosticSessionStart.h"

#include "ADBDistributionInfo.h"
#include "AppVersion.h"

#include <QSysInfo>

DiagnosticFields sessionStartedFields(const AppBundle& bundle) {
    const std::optional<ADBDistributionInfo> adb = loadADBDistributionInfo(bundle);
    const QString unknown = QStringLiteral("unknown");
    return {
        {QStringLiteral("app_version"), displayVersion(bundle)},
        {QStringLiteral("adb_version"), adb ? adb->version : unknown},
        {QStringLiteral("adb_revision"), adb ? adb->revision : unknown},
        // The key keeps its historical name; on every system it holds the system's name and
        // version ("debian 12", "macos 14.4"). The pretty name is avoided: "GNU/Linux" reads
        // like a path in a log that promises to hold none.
        {QStringLiteral("macos"),
         QSysInfo::productType() + QLatin1Char(' ') + QSysInfo::productVersion()},
    };
}
