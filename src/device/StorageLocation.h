// A location of the browser's sidebar. Its identity is its path.
#pragma once

#include <QString>

struct StorageLocation {
    QString path;
    // A system symbol name.
    QString icon;

    const QString& id() const { return path; }
    QString title() const;

    bool operator==(const StorageLocation&) const = default;
};

size_t qHash(const StorageLocation& location, size_t seed = 0);
