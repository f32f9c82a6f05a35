#include "ADBExecutableResolver.h"

#include <QFileInfo>

ADBExecutableResolver::ADBExecutableResolver(AppBundle bundle) : bundle_(std::move(bundle)) {}

std::optional<QString> ADBExecutableResolver::resolveExecutable() const {
    const QString candidates[] = {bundle_.filePath(QStringLiteral("Contents/Helpers/adb"))};
    for (const QString& candidate : candidates) {
        const QFileInfo info(candidate);
        if (info.isFile() && info.isExecutable()) {
            return candidate;
        }
    }
    return std::nullopt;
}
