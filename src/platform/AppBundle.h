// The application bundle (Pavrel.app) that holds the running executable, its helper
// tools and its resources. Found from the executable's own path, so the bundle can move.
#pragma once

#include <QString>

class AppBundle {
public:
    // A bundle rooted at `bundlePath` (the folder named *.app).
    explicit AppBundle(QString bundlePath);

    // The bundle of the running executable: Contents/MacOS/<exe> → the folder two levels up.
    static AppBundle main();

    const QString& path() const { return bundlePath_; }

    // `relative` appended to the bundle's path ("Contents/Helpers/adb").
    QString filePath(const QString& relative) const;

    // Contents/Resources/<name>.<extension>, or an empty text when no such file exists.
    QString resourcePath(const QString& name, const QString& extension) const;

private:
    QString bundlePath_;
};
