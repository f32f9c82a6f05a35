#include "DeviceFile.h"

#include "Formatting.h"

#include <QHash>
#include <QLocale>
#include <QSet>

namespace {

// The text after the last dot of the last component; a leading dot only marks a hidden name.
QString pathExtension(const QString& path) {
    const QString name = path.section(QLatin1Char('/'), -1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.mid(dot + 1) : QString();
}

} // namespace

QString DeviceFile::symbolName() const {
    if (isDirectory) {
        return QStringLiteral("folder.fill");
    }
    static const QSet<QString> photoExtensions{"jpg", "jpeg", "png",  "webp", "heic", "heif",
                                               "gif", "tif",  "tiff", "bmp",  "dng"};
    static const QSet<QString> filmExtensions{"mp4", "mkv", "mov"};
    static const QSet<QString> musicExtensions{"mp3", "wav", "m4a"};
    static const QSet<QString> archiveExtensions{"zip", "rar", "7z"};
    const QString extension = pathExtension(path).toLower();
    if (photoExtensions.contains(extension)) {
        return QStringLiteral("photo.fill");
    }
    if (filmExtensions.contains(extension)) {
        return QStringLiteral("film.fill");
    }
    if (musicExtensions.contains(extension)) {
        return QStringLiteral("music.note");
    }
    if (extension == QLatin1String("pdf")) {
        return QStringLiteral("doc.richtext.fill");
    }
    if (archiveExtensions.contains(extension)) {
        return QStringLiteral("archivebox.fill");
    }
    return QStringLiteral("doc.fill");
}

QString DeviceFile::modificationText() const {
    if (!modifiedAt) {
        return QStringLiteral("\u2014");
    }
    return formatAbbreviatedDateTime(*modifiedAt);
}

size_t qHash(const DeviceFile& file, size_t seed) {
    return qHashMulti(seed, file.name, file.path, file.isDirectory, file.size.value_or(-1),
                      file.size.has_value(),
                      file.modifiedAt ? file.modifiedAt->toMSecsSinceEpoch() : -1);
}
