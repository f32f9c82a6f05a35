#include "StandardDirectories.h"

#include <QDir>
#include <QStandardPaths>

namespace {
QString underBundleIdentifier(QStandardPaths::StandardLocation location) {
    return QDir(QStandardPaths::writableLocation(location)).filePath(QString::fromLatin1(bundleIdentifier));
}
} // namespace

QString applicationSupportDirectory() {
    return underBundleIdentifier(QStandardPaths::GenericDataLocation);
}

QString cachesDirectory() {
    return underBundleIdentifier(QStandardPaths::GenericCacheLocation);
}
