#include "StorageLocation.h"

#include "AppLanguageManager.h"
#include "DevicePath.h"

#include <QHash>

QString StorageLocation::title() const {
    if (path == QLatin1String("/sdcard")) {
        return localizedText(QStringLiteral("Внутренняя память"),
                             QStringLiteral("Internal storage"));
    }
    if (path == QLatin1String("/sdcard/Download") || path == QLatin1String("/sdcard/Downloads")) {
        return localizedText(QStringLiteral("Загрузки"), QStringLiteral("Downloads"));
    }
    if (path == QLatin1String("/sdcard/DCIM")) {
        return localizedText(QStringLiteral("Фотографии"), QStringLiteral("Photos"));
    }
    if (path == QLatin1String("/sdcard/Documents")) {
        return localizedText(QStringLiteral("Документы"), QStringLiteral("Documents"));
    }
    // Other paths are named by their last component, trailing slash ignored: "/sdcard/" is
    // "sdcard".
    return lastPathComponent(path);
}

size_t qHash(const StorageLocation& location, size_t seed) {
    return qHashMulti(seed, location.path, location.icon);
}
