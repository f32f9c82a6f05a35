#include "AppBundle.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

AppBundle::AppBundle(QString bundlePath) : bundlePath_(std::move(bundlePath)) {}

AppBundle AppBundle::main() {
    QDir dir(QCoreApplication::applicationDirPath());
    dir.cdUp();
    dir.cdUp();
    return AppBundle(dir.absolutePath());
}

QString AppBundle::filePath(const QString& relative) const {
    return QDir(bundlePath_).filePath(relative);
}

QString AppBundle::resourcePath(const QString& name, const QString& extension) const {
    const QString path = filePath(QStringLiteral("Contents/Resources/%1.%2").arg(name, extension));
    return QFileInfo(path).isFile() ? path : QString();
}
