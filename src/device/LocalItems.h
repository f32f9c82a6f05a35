// The computer's side of transfers: folder trees, sizes, and moving a finished copy into place
// while the previous item waits under a backup name.
#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <QtGlobal>

#include <optional>

struct LocalDirectoryEntry {
    QUrl url;
    // Relative to the folder, without a leading "/".
    QString relativePath;
    bool isDirectory = false;
    // 0 for folders.
    qint64 size = 0;

    bool operator==(const LocalDirectoryEntry&) const = default;
};

// Everything below the folder, hidden items included; links and special files are left out.
// Folders first, then by relative path in the standard order.
QList<LocalDirectoryEntry> listLocalTree(const QUrl& url);

// A file's size, or the sum of the files below a folder; absent when the item cannot be read.
std::optional<qint64> localItemSize(const QUrl& url);
// The size of a regular file; absent for anything else.
std::optional<qint64> localFileSize(const QUrl& url);

// Moves `source` to `final`. An item already at `final` waits at `backup` and is removed only
// after the move succeeded, or moved back when it failed. Throws LocalFileError.
void replaceLocalItem(const QString& source, const QString& final, const QString& backup);

// True when something, even a dangling link, is at the path.
bool localItemExists(const QString& path);
// Removes a file, a link or a folder with everything in it; false when something remains.
bool removeLocalItem(const QString& path);
// Creates the folder and any missing parents. Throws LocalFileError.
void createLocalFolder(const QString& path);
