#include "SampleTree.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>

namespace {

[[noreturn]] void fail(const QString& message) {
    throw std::runtime_error(message.toStdString());
}

void setFileTime(const QString& path, qint64 secondsSinceEpoch) {
    timespec times[2];
    times[0].tv_sec = static_cast<time_t>(secondsSinceEpoch);
    times[0].tv_nsec = 0;
    times[1] = times[0];
    if (utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW) != 0) {
        fail("Cannot set the time of " + path);
    }
}

// Folders below `folder`, deepest first, so that each is settled after its sub-folders.
QStringList foldersDeepestFirst(const QString& folder) {
    QStringList folders;
    QDirIterator iterator(folder, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                          QDirIterator::Subdirectories);
    while (iterator.hasNext()) {
        folders.append(iterator.next());
    }
    std::sort(folders.begin(), folders.end(), [](const QString& left, const QString& right) {
        return left.count('/') > right.count('/');
    });
    return folders;
}

} // namespace

SampleTree::SampleTree(QString root) : root_(std::move(root)) {}

QString SampleTree::prepare(const QString& relativePath) const {
    const QString path = root_ + '/' + relativePath;
    const QString parent = QFileInfo(path).path();
    if (!QDir().mkpath(parent)) {
        fail("Cannot create the folder " + parent);
    }
    return path;
}

void SampleTree::writeFile(const QString& relativePath, const QByteArray& content,
                           const QDateTime& modified) const {
    const QString path = prepare(relativePath);
    // The whole tree is written into a scratch folder and moved into place at the end, so a
    // file needs no atomic replacement of its own (and thousands of syncs would be slow).
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
        file.write(content) != content.size() || !file.flush()) {
        fail("Cannot write " + path + ": " + file.errorString());
    }
    file.close();
    setFileTime(path, modified.toSecsSinceEpoch());
}

void SampleTree::makeFolder(const QString& relativePath) const {
    const QString path = root_ + '/' + relativePath;
    if (!QDir().mkpath(path)) {
        fail("Cannot create the folder " + path);
    }
}

void SampleTree::setModified(const QString& relativePath, const QDateTime& modified) const {
    setFileTime(root_ + '/' + relativePath, modified.toSecsSinceEpoch());
}

void SampleTree::settleFolderTimes(const QDateTime& emptyFolderTime) const {
    QStringList folders = foldersDeepestFirst(root_);
    folders.append(root_);
    for (const QString& folder : folders) {
        qint64 newest = emptyFolderTime.toSecsSinceEpoch();
        bool empty = true;
        const QFileInfoList entries = QDir(folder).entryInfoList(
            QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        for (const QFileInfo& entry : entries) {
            const qint64 modified = entry.lastModified().toSecsSinceEpoch();
            newest = empty ? modified : std::max(newest, modified);
            empty = false;
        }
        setFileTime(folder, newest);
    }
}
