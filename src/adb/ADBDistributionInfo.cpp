#include "ADBDistributionInfo.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

std::optional<ADBDistributionInfo> decodeADBDistributionInfo(const QByteArray& json) {
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isObject()) {
        return std::nullopt;
    }
    const QJsonObject object = document.object();
    for (const char* key : {"version", "revision", "sourceURL", "sha256"}) {
        if (!object.value(QLatin1String(key)).isString()) {
            return std::nullopt;
        }
    }
    const QUrl sourceURL(object.value(QLatin1String("sourceURL")).toString(), QUrl::StrictMode);
    if (!sourceURL.isValid() || sourceURL.isEmpty()) {
        return std::nullopt;
    }
    return ADBDistributionInfo{
        object.value(QLatin1String("version")).toString(),
        object.value(QLatin1String("revision")).toString(),
        sourceURL,
        object.value(QLatin1String("sha256")).toString(),
    };
}

std::optional<ADBDistributionInfo> loadADBDistributionInfo(const AppBundle& bundle) {
    const QString path = bundle.resourcePath(QStringLiteral("adb-distribution"), QStringLiteral("json"));
    if (path.isEmpty()) {
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return decodeADBDistributionInfo(file.readAll());
}
