// Reading of the `stat -c` lines behind folder listings and folder trees.
#pragma once

#include "DeviceFile.h"

#include <QString>
#include <QtGlobal>

#include <optional>

// "%F|%s|%Y|%n": "regular file|3842100|1717334400|/sdcard/DCIM/a|b.jpg". The path is the rest
// of the line, so a "|" inside a name stays in the name.
std::optional<DeviceFile> parseStatLine(const QString& line);

struct RemoteDirectoryEntry {
    QString path;
    // Relative to the tree's root, without a leading "/".
    QString relativePath;
    bool isDirectory = false;
    qint64 size = 0;

    bool operator==(const RemoteDirectoryEntry&) const = default;
};

// "%F|%s|%n" of an item below root (given without a trailing "/"):
// "directory|3488|/sdcard/Music/Albums".
std::optional<RemoteDirectoryEntry> parseRemoteTreeLine(const QString& line, const QString& root);
