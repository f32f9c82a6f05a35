#include "GeneratedFolder.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <stdexcept>

namespace {

[[noreturn]] void fail(const QString& message) {
    throw std::runtime_error(message.toStdString());
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void removeFolder(const QString& path) {
    if (QDir(path).exists() && !QDir(path).removeRecursively()) {
        fail("Cannot remove " + path);
    }
}

} // namespace

GeneratedFolder::GeneratedFolder(QString path, QByteArray generatorFingerprint)
    : path_(QDir::cleanPath(path)), fingerprint_(std::move(generatorFingerprint)) {}

QString GeneratedFolder::stampPath() const {
    return path_ + ".stamp";
}

QString GeneratedFolder::partialPath() const {
    return path_ + ".partial";
}

bool GeneratedFolder::isUpToDate() const {
    return QDir(path_).exists() && readAll(stampPath()) == fingerprint_;
}

QString GeneratedFolder::beginWriting() const {
    // Never delete a folder we did not write: a mistyped output path must not cost anyone data.
    const bool ours = QFile::exists(stampPath());
    if (!ours && QDir(path_).exists() &&
        !QDir(path_).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        fail(path_ + " already exists and was not written by this tool; remove it or choose "
                     "another output folder");
    }
    removeFolder(partialPath());
    if (!QDir().mkpath(partialPath())) {
        fail("Cannot create " + partialPath());
    }
    return partialPath();
}

void GeneratedFolder::finishWriting() const {
    // The old stamp stays until the new one replaces it: whatever step fails, the folder is
    // still known as ours and the next run replaces it.
    removeFolder(path_);
    if (!QDir().rename(partialPath(), path_)) {
        fail("Cannot move " + partialPath() + " to " + path_);
    }
    QSaveFile stamp(stampPath());
    if (!stamp.open(QIODevice::WriteOnly) || stamp.write(fingerprint_) != fingerprint_.size() ||
        !stamp.commit()) {
        fail("Cannot write " + stampPath() + ": " + stamp.errorString());
    }
}

QByteArray executableFingerprint() {
    QFile executable(QCoreApplication::applicationFilePath());
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!executable.open(QIODevice::ReadOnly) || !hash.addData(&executable)) {
        fail("Cannot read " + executable.fileName());
    }
    return hash.result().toHex();
}
