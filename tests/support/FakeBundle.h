// A temporary Pavrel.app tree for tests of code that reads the bundle: an executable
// at Contents/Helpers/adb, resources, and Info.plist.
#pragma once

#include "AppBundle.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class FakeBundle {
public:
    FakeBundle();

    AppBundle bundle() const { return AppBundle(path()); }
    QString path() const;

    // Writes Contents/Helpers/adb with `content`; executable unless told otherwise.
    void writeExecutable(const QByteArray& content, bool executable = true) const;
    void writeResource(const QString& fileName, const QByteArray& content) const;
    void writeFile(const QString& relativePath, const QByteArray& content) const;

private:
    QTemporaryDir dir_;
};
