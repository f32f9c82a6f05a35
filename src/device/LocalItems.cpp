#include "LocalItems.h"

#include "LocalFileError.h"
#include "StandardOrder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <filesystem>

namespace {

constexpr QDir::Filters everyEntry =
    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;

QString standardizedPath(const QUrl& url) {
    return QDir::cleanPath(QFileInfo(url.toLocalFile()).absoluteFilePath());
}

bool isRegularFile(const QFileInfo& info) {
    return info.isFile() && !info.isSymLink();
}

bool isRealFolder(const QFileInfo& info) {
    return info.isDir() && !info.isSymLink();
}

std::filesystem::path nativePath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// A plain rename: it moves folders and links as they are.
bool moveLocalItem(const QString& from, const QString& to) {
    std::error_code error;
    std::filesystem::rename(nativePath(from), nativePath(to), error);
    return !error;
}

} // namespace

QList<LocalDirectoryEntry> listLocalTree(const QUrl& url) {
    QString prefix = standardizedPath(url);
    if (!prefix.endsWith(QLatin1Char('/'))) {
        prefix += QLatin1Char('/');
    }
    QList<LocalDirectoryEntry> entries;
    QDirIterator iterator(url.toLocalFile(), everyEntry, QDirIterator::Subdirectories);
    while (iterator.hasNext()) {
        iterator.next();
        const QFileInfo info = iterator.fileInfo();
        const bool isFolder = isRealFolder(info);
        if (!isFolder && !isRegularFile(info)) {
            continue;
        }
        const QString path = QDir::cleanPath(info.absoluteFilePath());
        if (!path.startsWith(prefix)) {
            continue;
        }
        entries.append({QUrl::fromLocalFile(path), path.mid(prefix.size()), isFolder,
                        isFolder ? 0 : info.size()});
    }
    sortFoldersFirst(
        entries, [](const LocalDirectoryEntry& entry) { return entry.relativePath; },
        [](const LocalDirectoryEntry& entry) { return entry.isDirectory; });
    return entries;
}

std::optional<qint64> localItemSize(const QUrl& url) {
    const QFileInfo info(url.toLocalFile());
    if (!info.exists()) {
        return std::nullopt;
    }
    if (!info.isDir()) {
        return info.isFile() ? info.size() : 0;
    }
    qint64 total = 0;
    QDirIterator iterator(info.filePath(), everyEntry, QDirIterator::Subdirectories);
    while (iterator.hasNext()) {
        iterator.next();
        if (const QFileInfo item = iterator.fileInfo(); isRegularFile(item)) {
            total += item.size();
        }
    }
    return total;
}

std::optional<qint64> localFileSize(const QUrl& url) {
    const QFileInfo info(url.toLocalFile());
    if (!info.isFile()) {
        return std::nullopt;
    }
    return info.size();
}

bool localItemExists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool removeLocalItem(const QString& path) {
    const QFileInfo info(path);
    if (isRealFolder(info)) {
        return QDir(path).removeRecursively();
    }
    return !localItemExists(path) || QFile::remove(path);
}

void createLocalFolder(const QString& path) {
    if (!QDir().mkpath(path)) {
        throw LocalFileError(LocalFileError::Operation::createFolder, QFileInfo(path).fileName());
    }
}

void replaceLocalItem(const QString& source, const QString& final, const QString& backup) {
    const bool movedAside = localItemExists(final);
    if (movedAside && !moveLocalItem(final, backup)) {
        throw LocalFileError(LocalFileError::Operation::move, QFileInfo(final).fileName());
    }
    if (moveLocalItem(source, final)) {
        if (movedAside) {
            removeLocalItem(backup);
        }
        return;
    }
    if (movedAside && localItemExists(backup)) {
        moveLocalItem(backup, final);
    }
    throw LocalFileError(LocalFileError::Operation::move, QFileInfo(final).fileName());
}
