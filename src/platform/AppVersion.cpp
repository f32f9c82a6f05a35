#include "AppVersion.h"

#include "PropertyList.h"

QString displayVersion(const AppBundle& bundle) {
    const QString gitVersionPath = bundle.resourcePath(QStringLiteral("GitVersion"), QStringLiteral("plist"));
    if (!gitVersionPath.isEmpty()) {
        const QVariant display = readPropertyListDictionary(gitVersionPath).value(QStringLiteral("DisplayVersion"));
        if (display.typeId() == QMetaType::QString && !display.toString().isEmpty()) {
            return display.toString();
        }
    }

    const QVariantMap info = readPropertyListDictionary(bundle.filePath(QStringLiteral("Contents/Info.plist")));
    const QString shortVersion = info.value(QStringLiteral("CFBundleShortVersionString"), QStringLiteral("1.0")).toString();
    const QString bundleVersion = info.value(QStringLiteral("CFBundleVersion"), QStringLiteral("1")).toString();
    const QStringList pieces = shortVersion.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    const QString major = pieces.isEmpty() ? QStringLiteral("1") : pieces.first();
    return major + QLatin1Char('.') + bundleVersion;
}
