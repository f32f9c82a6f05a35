#include "Preferences.h"

#include "StandardDirectories.h"
#include "TypedJsonSettingsFormat.h"

#include <QDir>
#include <QStandardPaths>

#include <cmath>

namespace {

std::unique_ptr<QSettings> standardSettings() {
#ifdef Q_OS_MACOS
    // QSettings reverses the organisation's domain: the store is app.pavrel.Pavrel.
    return std::make_unique<QSettings>(QStringLiteral("pavrel.app"), QStringLiteral("Pavrel"));
#else
    return std::make_unique<QSettings>(Preferences::standardFilePath(), typedJsonSettingsFormat());
#endif
}

} // namespace

Preferences* Preferences::standardOverride_ = nullptr;

Preferences::Preferences(const QString& filePath)
    : settings_(std::make_unique<QSettings>(filePath, typedJsonSettingsFormat())) {}

Preferences::Preferences(std::unique_ptr<QSettings> settings) : settings_(std::move(settings)) {}

Preferences::~Preferences() = default;

Preferences& Preferences::standard() {
    if (standardOverride_)
        return *standardOverride_;
    static Preferences store(standardSettings());
    return store;
}

QString Preferences::standardFilePath() {
    const QString configuration =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(configuration)
        .filePath(QString::fromLatin1(bundleIdentifier) + QStringLiteral("/preferences.json"));
}

bool Preferences::contains(const QString& key) const {
    return settings_->contains(key);
}

QVariant Preferences::value(const QString& key) const {
    return settings_->value(key);
}

std::optional<bool> Preferences::boolean(const QString& key) const {
    const QVariant stored = value(key);
    if (stored.typeId() != QMetaType::Bool)
        return std::nullopt;
    return stored.toBool();
}

std::optional<qint64> Preferences::integer(const QString& key) const {
    const QVariant stored = value(key);
    switch (stored.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return stored.toLongLong();
    case QMetaType::Double: {
        // A whole number written as 3.0 by another writer is still that integer.
        const double number = stored.toDouble();
        if (std::isfinite(number) && std::trunc(number) == number && std::abs(number) < 9.2e18)
            return static_cast<qint64>(number);
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

std::optional<double> Preferences::number(const QString& key) const {
    const QVariant stored = value(key);
    switch (stored.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return stored.toDouble();
    default:
        return std::nullopt;
    }
}

std::optional<QString> Preferences::text(const QString& key) const {
    const QVariant stored = value(key);
    if (stored.typeId() != QMetaType::QString)
        return std::nullopt;
    return stored.toString();
}

std::optional<QStringList> Preferences::textArray(const QString& key) const {
    const QVariant stored = value(key);
    if (stored.typeId() == QMetaType::QStringList)
        return stored.toStringList();
    if (stored.typeId() != QMetaType::QVariantList)
        return std::nullopt;
    QStringList texts;
    for (const QVariant& element : stored.toList()) {
        if (element.typeId() != QMetaType::QString)
            return std::nullopt;
        texts.append(element.toString());
    }
    return texts;
}

std::optional<QDateTime> Preferences::date(const QString& key) const {
    const QVariant stored = value(key);
    if (stored.typeId() != QMetaType::QDateTime || !stored.toDateTime().isValid())
        return std::nullopt;
    return stored.toDateTime();
}

void Preferences::setBoolean(const QString& key, bool value) {
    store(key, value);
}

void Preferences::setInteger(const QString& key, qint64 value) {
    store(key, QVariant::fromValue(value));
}

void Preferences::setNumber(const QString& key, double value) {
    store(key, value);
}

void Preferences::setText(const QString& key, const QString& value) {
    store(key, value);
}

void Preferences::setTextArray(const QString& key, const QStringList& value) {
    store(key, QVariant(value).toList());
}

void Preferences::setDate(const QString& key, const QDateTime& value) {
    store(key, value);
}

void Preferences::remove(const QString& key) {
    settings_->remove(key);
    settings_->sync();
}

void Preferences::store(const QString& key, const QVariant& value) {
    settings_->setValue(key, value);
    settings_->sync();
}
