#include "StatLineParser.h"

#include "DevicePath.h"
#include "TextDecoding.h"

#include <QStringList>

namespace {

// Splits at the first count - 1 bars; the last piece keeps any further bars.
QStringList splitAtBars(const QString& line, int count) {
    QStringList pieces;
    qsizetype start = 0;
    while (pieces.size() < count - 1) {
        const qsizetype bar = line.indexOf(QLatin1Char('|'), start);
        if (bar < 0) {
            break;
        }
        pieces.append(line.mid(start, bar - start));
        start = bar + 1;
    }
    pieces.append(line.mid(start));
    return pieces;
}

} // namespace

std::optional<DeviceFile> parseStatLine(const QString& line) {
    const QStringList pieces = splitAtBars(line, 4);
    if (pieces.size() != 4) {
        return std::nullopt;
    }
    DeviceFile file;
    file.path = pieces.at(3);
    file.name = lastPathComponent(file.path);
    if (file.name == QLatin1String(".") || file.name == QLatin1String("..")) {
        return std::nullopt;
    }
    file.isDirectory = pieces.at(0).contains(QLatin1String("directory"));
    if (const auto seconds = parseDecimalNumber(pieces.at(2))) {
        file.modifiedAt = QDateTime::fromMSecsSinceEpoch(qRound64(*seconds * 1000.0), Qt::UTC);
    }
    if (!file.isDirectory) {
        file.size = parseDecimalInteger(pieces.at(1));
    }
    return file;
}

std::optional<RemoteDirectoryEntry> parseRemoteTreeLine(const QString& line, const QString& root) {
    const QStringList pieces = splitAtBars(line, 3);
    if (pieces.size() != 3) {
        return std::nullopt;
    }
    const auto size = parseDecimalInteger(pieces.at(1));
    const QString prefix = root + QLatin1Char('/');
    if (!size || !pieces.at(2).startsWith(prefix)) {
        return std::nullopt;
    }
    RemoteDirectoryEntry entry;
    entry.path = pieces.at(2);
    entry.relativePath = entry.path.mid(prefix.size());
    entry.isDirectory = pieces.at(0).contains(QLatin1String("directory"));
    entry.size = *size;
    return entry;
}
