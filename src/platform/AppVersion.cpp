#include "AppVersion.h"

#include "PropertyList.h"

namespace {
// The text under `key`, or `fallback` when there is none or the value is not a text.
QString textValue(const QVariantMap& dictionary, const QString& key, const QString& fallback) {
    const QVariant value = dictionary.value(key);
    return value.typeId() == QMetaType::QString ? value.toString() : fallback;
}
} // namespace

QString displayVersion(const AppBundle& bundle) {
    const QString gitVersionPath =
        bundle.resourcePath(QStringLiteral("GitVersion"), QStringLiteral("plist"));
    if (!gitVersionPath.isEmpty()) {
        const QVariant display =
            readPropertyListDictionary(gitVersionPath).value(QStringLiteral("DisplayVersion"));
        if (display.typeId() == QMetaType::QString && !display.toString().isEmpty()) {
            return display.toString();
        }
    }

    const QVariantMap info =
        readPropertyListDictionary(bundle.filePath(QStringLiteral("Contents/Info.plist")));
    const QString shortVersion =
        textValue(info, QStringLiteral("CFBundleShortVersionString"), QStringLiteral("1.0"));
    const QString bundleVersion =
        textValue(info, QStringLiteral("CFBundleVersion"), QStringLiteral("1"));
    const QStringList pieces = shortVersion.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    const QString major = pieces.isEmpty() ? QStringLiteral("1") : pieces.first();
    return major + QLatin1Char('.') + bundleVersion;
}
