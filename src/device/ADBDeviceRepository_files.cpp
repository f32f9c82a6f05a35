// Listing, sizes, file heads, and creating, deleting and renaming items on the device.
#include "ADBDeviceRepository.h"

#include "ADBArguments.h"
#include "CommandStatus.h"
#include "DeviceCommands.h"
#include "DevicePath.h"
#include "DeviceRepositoryError.h"
#include "StandardOrder.h"
#include "TextDecoding.h"

#include <QRegularExpression>

Task<bool> ADBDeviceRepository::directoryExists(QString path, AndroidDevice device) {
    const Result result = co_await runShell(DeviceCommands::directoryExists(path), device);
    co_return result.status == 0;
}

Task<QList<DeviceFile>> ADBDeviceRepository::listFiles(QString path, AndroidDevice device) {
    const Result result = co_await runCheckedShell(DeviceCommands::listing(path), device);
    // Only lines that ended: a dropped connection can leave a half line, naming another item.
    // A name that starts with a line feed leaves "/" at the end of its half line, which would
    // name the folder itself; that entry is left out.
    const QStringList lines = decodedUTF8Lossy(result.outputData).split(QLatin1Char('\n'));
    QList<DeviceFile> files;
    for (qsizetype index = 0; index + 1 < lines.size(); ++index) {
        const auto file = parseStatLine(lines.at(index));
        if (file && !file->path.endsWith(QLatin1Char('/'))) {
            files.append(*file);
        }
    }
    sortFoldersFirst(
        files, [](const DeviceFile& file) { return file.name; },
        [](const DeviceFile& file) { return file.isDirectory; });
    co_return files;
}

Task<std::optional<qint64>> ADBDeviceRepository::totalSize(QList<DeviceFile> files,
                                                           AndroidDevice device) {
    if (files.isEmpty()) {
        co_return 0;
    }
    QStringList paths;
    for (const DeviceFile& file : files) {
        paths.append(file.path);
    }
    const Result result = co_await runShell(DeviceCommands::diskUsage(paths), device);
    // A path that vanished meanwhile makes du fail: the total is then unknown, not an error.
    if (result.status != 0) {
        co_return std::nullopt;
    }
    static const QRegularExpression whiteSpace(QStringLiteral("\\s+"));
    std::optional<qint64> kibibytes;
    for (const QString& line :
         decodedUTF8Lossy(result.outputData).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString first = line.split(whiteSpace, Qt::SkipEmptyParts).value(0);
        if (const auto value = parseDecimalInteger(first)) {
            qint64 sum = 0;
            if (__builtin_add_overflow(kibibytes.value_or(0), *value, &sum)) {
                co_return std::nullopt;
            }
            kibibytes = sum;
        }
    }
    co_return kibibytes ? kibibytesToBytes(*kibibytes) : std::nullopt;
}

Task<std::optional<qint64>> ADBDeviceRepository::availableSpace(QString path,
                                                                AndroidDevice device) {
    const Result result = co_await runCheckedShell(DeviceCommands::freeSpace(path), device);
    static const QRegularExpression whiteSpace(QStringLiteral("\\s+"));
    const QStringList pieces =
        decodedUTF8Lossy(result.outputData).split(whiteSpace, Qt::SkipEmptyParts);
    if (pieces.size() < 4) {
        co_return std::nullopt;
    }
    const auto kibibytes = parseDecimalInteger(pieces.at(3));
    co_return kibibytes ? kibibytesToBytes(*kibibytes) : std::nullopt;
}

Task<QByteArray> ADBDeviceRepository::readFilePrefix(DeviceFile file, qint64 maxBytes,
                                                     AndroidDevice device) {
    if (file.isDirectory || maxBytes <= 0) {
        co_return QByteArray();
    }
    // exec-out hands over the bytes as they are, where a shell on an older device would
    // translate line ends; but it reports no exit status of the device's command.
    const Result result = co_await runner.run(
        ADBArguments::execOut(device.id, DeviceCommands::filePrefix(maxBytes, file.path)));
    checkStatus(result);
    if (result.outputData.isEmpty()) {
        // Nothing came: an empty file, or one that cannot be read. Only the shell can tell.
        co_await runCheckedShell(DeviceCommands::readableFile(file.path), device);
    }
    co_return result.outputData;
}

Task<void> ADBDeviceRepository::createFolder(QString name, QString parentPath,
                                             AndroidDevice device) {
    co_await runCheckedShell(DeviceCommands::createFolder(appendingPathComponent(parentPath, name)),
                             device);
}

Task<void> ADBDeviceRepository::deleteItem(DeviceFile file, AndroidDevice device) {
    co_await runCheckedShell(DeviceCommands::remove(file.path, file.isDirectory), device);
}

Task<void> ADBDeviceRepository::renameItem(DeviceFile file, QString newName, AndroidDevice device) {
    const QString newPath = appendingPathComponent(deletingLastPathComponent(file.path), newName);
    const Result existing = co_await runShell(DeviceCommands::itemExists(newPath), device);
    if (existing.status == 0) {
        throw DeviceRepositoryError::itemAlreadyExists();
    }
    co_await runCheckedShell(DeviceCommands::move(file.path, newPath), device);
}
