#include "TypedJsonSettingsFormat.h"

#include <QDateTime>
#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// JSON has no date type: a date is written as an object with this one key.
const QString dateTag = QStringLiteral("$date");

QJsonValue toJson(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return value.toLongLong();
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toDouble();
    case QMetaType::QString:
        return value.toString();
    case QMetaType::QDateTime:
        return QJsonObject{{dateTag, value.toDateTime().toUTC().toString(Qt::ISODateWithMs)}};
    case QMetaType::QStringList:
    case QMetaType::QVariantList: {
        QJsonArray array;
        for (const QVariant& element : value.toList())
            array.append(toJson(element));
        return array;
    }
    case QMetaType::QVariantMap: {
        QJsonObject object;
        const QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it)
            object.insert(it.key(), toJson(it.value()));
        return object;
    }
    default:
        return QJsonValue::fromVariant(value);
    }
}

QVariant fromJson(const QJsonValue& value) {
    if (value.isArray()) {
        QVariantList list;
        for (const QJsonValue& element : value.toArray())
            list.append(fromJson(element));
        return list;
    }
    if (value.isObject()) {
        const QJsonObject object = value.toObject();
        if (object.size() == 1 && object.contains(dateTag) && object.value(dateTag).isString()) {
            const QDateTime date =
                QDateTime::fromString(object.value(dateTag).toString(), Qt::ISODateWithMs);
            if (date.isValid())
                return date;
        }
        QVariantMap map;
        for (auto it = object.begin(); it != object.end(); ++it)
            map.insert(it.key(), fromJson(it.value()));
        return map;
    }
    // Whole numbers come back as qlonglong, others as double.
    return value.toVariant();
}

} // namespace

bool readTypedJsonSettings(QIODevice& device, QSettings::SettingsMap& settings) {
    const QByteArray data = device.readAll();
    if (data.trimmed().isEmpty())
        return true;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    const QJsonObject object = document.object();
    for (auto it = object.begin(); it != object.end(); ++it)
        settings.insert(it.key(), fromJson(it.value()));
    return true;
}

bool writeTypedJsonSettings(QIODevice& device, const QSettings::SettingsMap& settings) {
    QJsonObject object;
    for (auto it = settings.begin(); it != settings.end(); ++it)
        object.insert(it.key(), toJson(it.value()));
    const QByteArray data = QJsonDocument(object).toJson(QJsonDocument::Indented);
    return device.write(data) == data.size();
}

QSettings::Format typedJsonSettingsFormat() {
    static const QSettings::Format format = QSettings::registerFormat(
        QStringLiteral("json"), readTypedJsonSettings, writeTypedJsonSettings);
    return format;
}
