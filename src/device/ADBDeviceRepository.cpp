// The repository's shared plumbing: shell runs and the work that runs in fresh tasks.
#include "ADBDeviceRepository.h"

#include "ADBArguments.h"
#include "CommandStatus.h"
#include "DeviceCommands.h"
#include "DeviceRepositoryError.h"
#include "StandardOrder.h"
#include "TextDecoding.h"
#include "TransferMessages.h"

#include <QRegularExpression>

ADBDeviceRepository::ADBDeviceRepository(ADBCommandRunning& runner, Clock& clock)
    : runner(runner), m_clock(clock), m_lifetime(std::make_shared<const bool>(true)) {}

Task<ADBDeviceRepository::Result> ADBDeviceRepository::runShell(QString command,
                                                                AndroidDevice device) {
    co_return co_await runner.run(ADBArguments::shell(device.id, command));
}

Task<ADBDeviceRepository::Result> ADBDeviceRepository::runCheckedShell(QString command,
                                                                       AndroidDevice device) {
    Result result = co_await runShell(command, device);
    checkStatus(result);
    co_return result;
}

Task<std::optional<qint64>> ADBDeviceRepository::remoteFileSize(QString path,
                                                                AndroidDevice device) {
    const Result result = co_await runShell(DeviceCommands::fileSize(path), device);
    if (result.status != 0) {
        co_return std::nullopt;
    }
    const QString output = decodedUTF8Lossy(result.outputData).trimmed();
    co_return parseDecimalInteger(output.section(QLatin1Char('\n'), 0, 0));
}

Task<qint64> ADBDeviceRepository::remoteDiskUsage(QString path, AndroidDevice device) {
    static const QRegularExpression whiteSpace(QStringLiteral("\\s+"));
    const Result result = co_await runShell(DeviceCommands::itemDiskUsage(path), device);
    if (result.status != 0) {
        co_return 0;
    }
    const QStringList pieces =
        decodedUTF8Lossy(result.outputData).split(whiteSpace, Qt::SkipEmptyParts);
    const auto kibibytes = pieces.isEmpty() ? std::nullopt : parseDecimalInteger(pieces.first());
    co_return kibibytes ? kibibytesToBytes(*kibibytes).value_or(0) : 0;
}

Task<QList<RemoteDirectoryEntry>> ADBDeviceRepository::listRemoteTree(QString root,
                                                                      AndroidDevice device) {
    if (root.endsWith(QLatin1Char('/'))) {
        root.chop(1);
    }
    const Result result = co_await runCheckedShell(DeviceCommands::tree(root), device);
    QStringList lines =
        decodedUTF8Lossy(result.outputData).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (lines.isEmpty() || lines.takeLast() != DeviceCommands::treeEndMarker()) {
        throw DeviceRepositoryError::commandFailed(incompleteTransferMessage());
    }
    QList<RemoteDirectoryEntry> entries;
    for (const QString& line : lines) {
        if (auto entry = parseRemoteTreeLine(line, root)) {
            entries.append(*entry);
        }
    }
    sortFoldersFirst(
        entries, [](const RemoteDirectoryEntry& entry) { return entry.relativePath; },
        [](const RemoteDirectoryEntry& entry) { return entry.isDirectory; });
    co_return entries;
}

Task<void> ADBDeviceRepository::swapIntoPlace(QString temporary, QString final, QString backup,
                                              AndroidDevice device) {
    const Result result =
        co_await fresh(runShell(DeviceCommands::swapIntoPlace(temporary, final, backup), device));
    checkStatus(result);
}

Task<void> ADBDeviceRepository::removeRemoteTemporaryItem(QString path, AndroidDevice device) {
    try {
        co_await fresh(runShell(DeviceCommands::removeTemporaryItem(path), device));
    } catch (...) {
        // Clean-up is best effort: the transfer reports the error that stopped it.
    }
}

Task<void> ADBDeviceRepository::requestMediaScan(QString path, AndroidDevice device) {
    if (!path.startsWith(QLatin1String("/sdcard")) &&
        !path.startsWith(QLatin1String("/storage/"))) {
        co_return;
    }
    try {
        co_await fresh(runShell(DeviceCommands::mediaScan(path), device));
    } catch (...) {
        // The files are in place; the gallery merely learns about them later.
    }
}
