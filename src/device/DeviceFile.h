// One entry of a device folder. Its identity is its path.
#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QtGlobal>

#include <optional>

struct DeviceFile {
    QString name;
    QString path;
    bool isDirectory = false;
    // Always absent for folders; absent when the device did not report it.
    std::optional<qint64> size;
    std::optional<QDateTime> modifiedAt;

    const QString& id() const { return path; }
    // The system symbol shown for the entry in rows and the inspector.
    QString symbolName() const;
    // An abbreviated date with a short time in the user's locale, "—" when unknown.
    QString modificationText() const;

    bool operator==(const DeviceFile&) const = default;
};

size_t qHash(const DeviceFile& file, size_t seed = 0);

Q_DECLARE_METATYPE(DeviceFile)
