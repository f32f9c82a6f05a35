// Copies from the computer to the device with adb push: each file lands under a hidden
// temporary name and is then swapped into place on the device.
#include "ADBDeviceRepository.h"

#include "ADBArguments.h"
#include "ADBTransferProgressParser.h"
#include "CancelledError.h"
#include "CommandStatus.h"
#include "DeviceCommands.h"
#include "DevicePath.h"
#include "DeviceRepositoryError.h"
#include "LocalItems.h"
#include "MonotonicProgress.h"
#include "TransferMessages.h"
#include "TransferNames.h"

#include <QFileInfo>
#include <QHash>

namespace {

double folderFraction(qint64 done, qint64 total) {
    return total < 1 ? 0.0
                     : static_cast<double>(std::min(total, done)) / static_cast<double>(total);
}

} // namespace

Task<void> ADBDeviceRepository::upload(QUrl localURL, QString remoteFolder, QString name,
                                       AndroidDevice device, std::optional<qint64> expectedBytes,
                                       TransferProgressHandler progress) {
    auto reporter = std::make_shared<MonotonicProgress>(std::move(progress));
    const QString localPath = localURL.toLocalFile();
    std::exception_ptr failure;
    try {
        // An item whose attributes cannot be read is tried as a file; push then says why not.
        if (QFileInfo(localPath).isDir()) {
            co_await uploadFolder(localPath, remoteFolder, name, device, expectedBytes, reporter);
        } else {
            co_await uploadFile(localPath, remoteFolder, name, device, expectedBytes, reporter);
        }
    } catch (...) {
        failure = std::current_exception();
    }
    reporter->close();
    if (failure) {
        std::rethrow_exception(failure);
    }
}

Task<void> ADBDeviceRepository::verifyRemoteCopy(QString path, qint64 expectedSize,
                                                 AndroidDevice device) {
    const std::optional<qint64> copied = co_await remoteFileSize(path, device);
    if (copied != expectedSize) {
        throw DeviceRepositoryError::commandFailed(incompleteTransferMessage());
    }
}

Task<void> ADBDeviceRepository::uploadFile(QString localPath, QString remoteFolder, QString name,
                                           AndroidDevice device,
                                           std::optional<qint64> expectedBytes, Progress progress) {
    const QString identifier = newTransferIdentifier();
    const QString final = appendingPathComponent(remoteFolder, name);
    const QString temporary = appendingPathComponent(remoteFolder, transferName(identifier));
    const QString backup = appendingPathComponent(remoteFolder, backupName(identifier));
    const QUrl localURL = QUrl::fromLocalFile(localPath);
    const qint64 expectedSize = expectedBytes.value_or(localItemSize(localURL).value_or(0));

    // Chunks of adb's output may arrive after its run has returned: the parser is shared.
    auto parser = std::make_shared<ADBTransferProgressParser>(MonotonicProgress::handler(progress));
    // Named: g++ 12 destroys the captures of a lambda written inside a co_await expression
    // twice.
    const std::function<void(const QString&)> feedParser = [parser](const QString& text) {
        parser->feed(text);
    };
    std::optional<TaskHandle<void>> poller;
    if (expectedSize >= 1) {
        poller = startSingleUploadPoller(temporary, device, expectedSize, progress);
    }
    std::exception_ptr failure;
    try {
        const Result pushed =
            co_await runner.run(ADBArguments::push(device.id, localPath, temporary), feedParser);
        checkStatus(pushed);
        checkCancelled();
        // A push that ends early but says it succeeded must not replace anything.
        if (const auto localSize = localFileSize(localURL)) {
            co_await verifyRemoteCopy(temporary, *localSize, device);
        }
        co_await swapIntoPlace(temporary, final, backup, device);
        co_await requestMediaScan(final, device);
        progress->report({1.0, lastPathComponent(localPath)});
    } catch (...) {
        failure = std::current_exception();
    }
    if (failure) {
        co_await removeRemoteTemporaryItem(temporary, device);
    }
    if (poller) {
        poller->cancel();
        co_await poller->result();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

Task<void> ADBDeviceRepository::uploadFolder(QString localPath, QString remoteFolder, QString name,
                                             AndroidDevice device,
                                             std::optional<qint64> expectedBytes,
                                             Progress progress) {
    const QString root = appendingPathComponent(remoteFolder, name);
    co_await runCheckedShell(DeviceCommands::prepareFolder(root), device);

    const QList<LocalDirectoryEntry> entries = listLocalTree(QUrl::fromLocalFile(localPath));
    qint64 total = 0;
    if (expectedBytes) {
        total = *expectedBytes;
    } else {
        for (const LocalDirectoryEntry& entry : entries) {
            total += entry.size;
        }
    }

    // What a previous, interrupted run already copied is kept when its size matches.
    QHash<QString, qint64> existing;
    QList<RemoteDirectoryEntry> present;
    try {
        present = co_await listRemoteTree(root, device);
    } catch (const CancelledError&) {
        throw;
    } catch (...) {
        // Without the listing nothing is skipped.
    }
    for (const RemoteDirectoryEntry& entry : present) {
        if (!entry.isDirectory) {
            existing.insert(entry.relativePath, entry.size);
        }
    }

    for (const LocalDirectoryEntry& entry : entries) {
        if (entry.isDirectory) {
            checkCancelled();
            co_await runCheckedShell(
                DeviceCommands::createFolder(appendingPathComponent(root, entry.relativePath)),
                device);
        }
    }

    qint64 done = 0;
    for (const LocalDirectoryEntry& entry : entries) {
        if (entry.isDirectory) {
            continue;
        }
        const QString fileName = lastPathComponent(entry.relativePath);
        if (isCurrentTaskCancelled()) {
            co_await requestMediaScan(root, device);
            throw CancelledError();
        }
        if (const auto found = existing.find(entry.relativePath);
            found != existing.end() && found.value() == entry.size) {
            done += entry.size;
            progress->report({folderFraction(done, total), fileName});
            continue;
        }

        const QString destination = appendingPathComponent(root, entry.relativePath);
        const QString parent = deletingLastPathComponent(destination);
        std::exception_ptr failure;
        std::optional<TaskHandle<void>> poller;
        QString temporary;
        try {
            co_await runCheckedShell(DeviceCommands::createFolder(parent), device);
            const QString identifier = newTransferIdentifier();
            temporary = appendingPathComponent(parent, partialName(fileName, identifier));
            const QString backup = appendingPathComponent(parent, backupName(identifier));
            if (entry.size >= 1 && total >= 1) {
                poller = startFolderUploadPoller(temporary, device, done, entry.size, total,
                                                 fileName, progress);
            }
            const Result pushed = co_await runner.run(
                ADBArguments::push(device.id, entry.url.toLocalFile(), temporary));
            checkStatus(pushed);
            checkCancelled();
            co_await verifyRemoteCopy(temporary, entry.size, device);
            co_await swapIntoPlace(temporary, destination, backup, device);
            done += entry.size;
        } catch (...) {
            failure = std::current_exception();
        }
        if (failure && !temporary.isEmpty()) {
            co_await removeRemoteTemporaryItem(temporary, device);
        }
        if (poller) {
            poller->cancel();
            co_await poller->result();
        }
        if (failure) {
            // What was copied so far should show up in the device's gallery all the same.
            co_await requestMediaScan(root, device);
            std::rethrow_exception(failure);
        }
        progress->report({folderFraction(done, total), fileName});
    }

    co_await requestMediaScan(root, device);
    progress->report({1.0, lastPathComponent(localPath)});
}
