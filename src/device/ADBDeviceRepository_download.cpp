// Copies from the device to the computer with adb pull: each file lands under a hidden
// temporary name next to its destination and is then moved into place.
#include "ADBDeviceRepository.h"

#include "ADBArguments.h"
#include "ADBTransferProgressParser.h"
#include "CancelledError.h"
#include "CommandStatus.h"
#include "DeviceCommands.h"
#include "DevicePath.h"
#include "DeviceRepositoryError.h"
#include "LocalFileError.h"
#include "LocalItems.h"
#include "MonotonicProgress.h"
#include "TransferMessages.h"
#include "TransferNames.h"

#include <QFileInfo>

namespace {

double folderFraction(qint64 done, qint64 total) {
    return total < 1 ? 0.0
                     : static_cast<double>(std::min(total, done)) / static_cast<double>(total);
}

void verifyLocalCopy(const QString& path, qint64 expectedSize) {
    if (localFileSize(QUrl::fromLocalFile(path)) != expectedSize) {
        throw DeviceRepositoryError::commandFailed(incompleteTransferMessage());
    }
}

// A relative path from the device that would climb out of the destination folder.
bool leavesTheDestination(const QString& relativePath) {
    const QStringList components = relativePath.split(QLatin1Char('/'));
    return relativePath.startsWith(QLatin1Char('/')) || components.contains(QStringLiteral("..")) ||
           components.contains(QStringLiteral("."));
}

} // namespace

Task<void> ADBDeviceRepository::download(DeviceFile file, DownloadDestination destination,
                                         QString name, AndroidDevice device,
                                         std::optional<qint64> expectedBytes,
                                         TransferProgressHandler progress) {
    auto reporter = std::make_shared<MonotonicProgress>(std::move(progress));
    const QString finalPath = destination.kind() == DownloadDestination::Kind::item
                                  ? destination.url().toLocalFile()
                                  : appendingPathComponent(destination.url().toLocalFile(), name);
    std::exception_ptr failure;
    try {
        if (file.isDirectory) {
            co_await downloadFolder(file, finalPath, device, expectedBytes, reporter);
        } else {
            co_await downloadFile(file, finalPath, device, expectedBytes, reporter);
        }
    } catch (...) {
        failure = std::current_exception();
    }
    reporter->close();
    if (failure) {
        std::rethrow_exception(failure);
    }
}

Task<void> ADBDeviceRepository::downloadFile(DeviceFile file, QString finalPath,
                                             AndroidDevice device,
                                             std::optional<qint64> expectedBytes,
                                             Progress progress) {
    const QString identifier = newTransferIdentifier();
    const QString parent = deletingLastPathComponent(finalPath);
    const QString workFolder = appendingPathComponent(parent, transferName(identifier));
    const QString deviceName = lastPathComponent(file.path);

    std::optional<qint64> expectedSize = expectedBytes;
    if (!expectedSize) {
        try {
            expectedSize = co_await totalSize(QList<DeviceFile>(1, file), device);
        } catch (const CancelledError&) {
            throw;
        } catch (...) {
            // Without a size the copy simply runs without a poller.
        }
    }

    auto parser = std::make_shared<ADBTransferProgressParser>(MonotonicProgress::handler(progress));
    // Named: g++ 12 destroys the captures of a lambda written inside a co_await expression
    // twice.
    const std::function<void(const QString&)> feedParser = [parser](const QString& text) {
        parser->feed(text);
    };
    try {
        createLocalFolder(workFolder);
    } catch (...) {
        removeLocalItem(workFolder);
        throw;
    }
    std::optional<TaskHandle<void>> poller;
    if (expectedSize.value_or(0) >= 1) {
        poller = startSingleDownloadPoller(workFolder, *expectedSize, progress);
    }
    std::exception_ptr failure;
    try {
        const Result pulled =
            co_await runner.run(ADBArguments::pull(device.id, file.path, workFolder), feedParser);
        checkStatus(pulled);
        checkCancelled();
        const QString copy = appendingPathComponent(workFolder, deviceName);
        // A pull that ends early but says it succeeded must not replace anything. The device
        // is asked again: the listing the caller holds may be older than the file.
        const std::optional<qint64> deviceSize = co_await remoteFileSize(file.path, device);
        if (deviceSize) {
            verifyLocalCopy(copy, *deviceSize);
        }
        replaceLocalItem(copy, finalPath, appendingPathComponent(parent, backupName(identifier)));
    } catch (...) {
        failure = std::current_exception();
    }
    removeLocalItem(workFolder);
    if (poller) {
        poller->cancel();
        co_await poller->result();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    progress->report({1.0, file.name});
}

Task<void> ADBDeviceRepository::downloadFolder(DeviceFile file, QString finalPath,
                                               AndroidDevice device,
                                               std::optional<qint64> expectedBytes,
                                               Progress progress) {
    const QFileInfo finalInfo(finalPath);
    if (localItemExists(finalPath) && !(finalInfo.isDir() && !finalInfo.isSymLink())) {
        if (!removeLocalItem(finalPath)) {
            throw LocalFileError(LocalFileError::Operation::remove, finalInfo.fileName());
        }
    }
    createLocalFolder(finalPath);

    QList<RemoteDirectoryEntry> entries = co_await listRemoteTree(file.path, device);
    entries.removeIf(
        [](const RemoteDirectoryEntry& entry) { return leavesTheDestination(entry.relativePath); });
    qint64 total = 0;
    if (expectedBytes) {
        total = *expectedBytes;
    } else {
        for (const RemoteDirectoryEntry& entry : entries) {
            total += entry.isDirectory ? 0 : entry.size;
        }
    }

    for (const RemoteDirectoryEntry& entry : entries) {
        if (entry.isDirectory) {
            createLocalFolder(appendingPathComponent(finalPath, entry.relativePath));
        }
    }

    qint64 done = 0;
    for (const RemoteDirectoryEntry& entry : entries) {
        if (entry.isDirectory) {
            continue;
        }
        checkCancelled();
        const QString destination = appendingPathComponent(finalPath, entry.relativePath);
        const QString parent = deletingLastPathComponent(destination);
        const QString fileName = lastPathComponent(destination);
        createLocalFolder(parent);
        if (localFileSize(QUrl::fromLocalFile(destination)) == entry.size) {
            done += entry.size;
            progress->report({folderFraction(done, total), fileName});
            continue;
        }

        const QString identifier = newTransferIdentifier();
        const QString temporary = appendingPathComponent(parent, partialName(fileName, identifier));
        std::optional<TaskHandle<void>> poller;
        if (entry.size >= 1 && total >= 1) {
            poller =
                startFolderDownloadPoller(temporary, done, entry.size, total, fileName, progress);
        }
        removeLocalItem(temporary);
        std::exception_ptr failure;
        try {
            const Result pulled =
                co_await runner.run(ADBArguments::pull(device.id, entry.path, temporary));
            checkStatus(pulled);
            checkCancelled();
            verifyLocalCopy(temporary, entry.size);
            replaceLocalItem(temporary, destination,
                             appendingPathComponent(parent, backupName(identifier)));
            done += entry.size;
        } catch (...) {
            failure = std::current_exception();
        }
        if (failure) {
            removeLocalItem(temporary);
        }
        if (poller) {
            poller->cancel();
            co_await poller->result();
        }
        if (failure) {
            std::rethrow_exception(failure);
        }
        progress->report({folderFraction(done, total), fileName});
    }
    progress->report({1.0, file.name});
}
