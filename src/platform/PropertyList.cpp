#include "PropertyList.h"

#include <QDateTime>
#include <QFile>
#include <QXmlStreamReader>

namespace {

std::optional<QVariant> readValue(QXmlStreamReader& xml);

std::optional<QVariant> readDictionary(QXmlStreamReader& xml) {
    QVariantMap map;
    while (xml.readNextStartElement()) {
        if (xml.name() != u"key") {
            return std::nullopt;
        }
        const QString key = xml.readElementText();
        if (!xml.readNextStartElement()) {
            return std::nullopt;
        }
        auto value = readValue(xml);
        if (!value) {
            return std::nullopt;
        }
        map.insert(key, *value);
    }
    return QVariant(map);
}

std::optional<QVariant> readArray(QXmlStreamReader& xml) {
    QVariantList list;
    while (xml.readNextStartElement()) {
        auto value = readValue(xml);
        if (!value) {
            return std::nullopt;
        }
        list.append(*value);
    }
    return QVariant(list);
}

// Reads the element the reader stands on, leaving the reader on its end element.
std::optional<QVariant> readValue(QXmlStreamReader& xml) {
    const auto name = xml.name();
    if (name == u"dict") {
        return readDictionary(xml);
    }
    if (name == u"array") {
        return readArray(xml);
    }
    if (name == u"string") {
        return QVariant(xml.readElementText());
    }
    if (name == u"integer") {
        bool ok = false;
        const qlonglong value = xml.readElementText().trimmed().toLongLong(&ok);
        return ok ? std::optional<QVariant>(value) : std::nullopt;
    }
    if (name == u"real") {
        bool ok = false;
        const double value = xml.readElementText().trimmed().toDouble(&ok);
        return ok ? std::optional<QVariant>(value) : std::nullopt;
    }
    if (name == u"true" || name == u"false") {
        const bool value = name == u"true";
        xml.skipCurrentElement();
        return QVariant(value);
    }
    if (name == u"date") {
        const QDateTime value = QDateTime::fromString(xml.readElementText().trimmed(), Qt::ISODate);
        return value.isValid() ? std::optional<QVariant>(value) : std::nullopt;
    }
    if (name == u"data") {
        return QVariant(QByteArray::fromBase64(xml.readElementText().simplified().toLatin1()));
    }
    return std::nullopt;
}

} // namespace

std::optional<QVariant> readPropertyList(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QXmlStreamReader xml(&file);
    if (!xml.readNextStartElement() || xml.name() != u"plist" || !xml.readNextStartElement()) {
        return std::nullopt;
    }
    auto value = readValue(xml);
    if (!value || xml.hasError()) {
        return std::nullopt;
    }
    return value;
}

QVariantMap readPropertyListDictionary(const QString& path) {
    const auto value = readPropertyList(path);
    return value && value->typeId() == QMetaType::QVariantMap ? value->toMap() : QVariantMap();
}
