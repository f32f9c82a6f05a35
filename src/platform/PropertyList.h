// Reader for XML property lists (Info.plist, GitVersion.plist): the subset of types
// a bundle's plists use, decoded into QVariant (dict → QVariantMap, array → QVariantList).
#pragma once

#include <QString>
#include <QVariant>
#include <optional>

// The top-level object of the XML property list at `path`, or nothing when the file is
// missing, unreadable or not a well-formed property list.
std::optional<QVariant> readPropertyList(const QString& path);

// The top-level dictionary of the property list at `path`; empty when there is none.
QVariantMap readPropertyListDictionary(const QString& path);
