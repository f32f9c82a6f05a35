#include "FakeBundle.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

FakeBundle::FakeBundle() {
    if (!dir_.isValid() || !QDir().mkpath(path() + QStringLiteral("/Contents/Resources"))) {
        throw std::runtime_error("cannot create a temporary bundle");
    }
}

QString FakeBundle::path() const {
    return dir_.filePath(QStringLiteral("Pavrel.app"));
}

void FakeBundle::writeFile(const QString& relativePath, const QByteArray& content) const {
    const QString filePath = QDir(path()).filePath(relativePath);
    QDir().mkpath(QFileInfo(filePath).absolutePath());
    QFile file(filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size()) {
        throw std::runtime_error("cannot write a bundle file");
    }
}

void FakeBundle::writeExecutable(const QByteArray& content, bool executable) const {
    const QString relative = QStringLiteral("Contents/Helpers/adb");
    writeFile(relative, content);
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (executable) {
        permissions |= QFile::ExeOwner;
    }
    QFile::setPermissions(QDir(path()).filePath(relative), permissions);
}

void FakeBundle::writeResource(const QString& fileName, const QByteArray& content) const {
    writeFile(QStringLiteral("Contents/Resources/") + fileName, content);
}
