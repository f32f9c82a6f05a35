// Everything the application asks of a device. View models and the thumbnail service see only
// this interface; ADBDeviceRepository runs adb for it, MockDeviceRepository answers with fixed
// data. Failures are DeviceRepositoryError, CancelledError, or a launch error of the process.
#pragma once

#include "AndroidDevice.h"
#include "DeviceFile.h"
#include "DeviceInfo.h"
#include "DownloadDestination.h"
#include "Task.h"
#include "TransferProgress.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>
#include <QtGlobal>

#include <optional>

// Arguments are taken by value: a coroutine keeps its own copies across suspensions.
class DeviceRepository {
public:
    virtual ~DeviceRepository() = default;

    // Every device adb reports, in its order, in any state.
    virtual Task<QList<AndroidDevice>> devices() = 0;
    // A Wi-Fi device at host:port; connectionFailed when adb could not reach it.
    virtual Task<AndroidDevice> connect(QString host, QString port) = 0;
    // Drops a Wi-Fi connection; does nothing for USB; never fails.
    virtual Task<void> disconnect(AndroidDevice device) = 0;
    virtual Task<DeviceInfo> fetchDeviceInfo(AndroidDevice device) = 0;

    virtual Task<bool> directoryExists(QString path, AndroidDevice device) = 0;
    // Hidden entries included, without "." and "..", folders first, then by name.
    virtual Task<QList<DeviceFile>> listFiles(QString path, AndroidDevice device) = 0;
    // Disk usage of all the items together; 0 for none; absent when it cannot be measured.
    virtual Task<std::optional<qint64>> totalSize(QList<DeviceFile> files,
                                                  AndroidDevice device) = 0;
    // Free bytes of the file system holding the path; absent when unreadable.
    virtual Task<std::optional<qint64>> availableSpace(QString path, AndroidDevice device) = 0;
    // The first maxBytes bytes, unaltered; empty for a folder or when maxBytes ≤ 0.
    virtual Task<QByteArray> readFilePrefix(DeviceFile file, qint64 maxBytes,
                                            AndroidDevice device) = 0;
    // Creates parent/name with any missing parents.
    virtual Task<void> createFolder(QString name, QString parentPath, AndroidDevice device) = 0;
    // A folder goes with everything in it.
    virtual Task<void> deleteItem(DeviceFile file, AndroidDevice device) = 0;
    // Within the same folder; itemAlreadyExists when the name is taken.
    virtual Task<void> renameItem(DeviceFile file, QString newName, AndroidDevice device) = 0;

    // Copies a local file or folder to remoteFolder/name. What was there is replaced only once
    // the copy is complete. expectedBytes, when given, is the caller's total of the transfer.
    virtual Task<void> upload(QUrl localURL, QString remoteFolder, QString name,
                              AndroidDevice device, std::optional<qint64> expectedBytes,
                              TransferProgressHandler progress) = 0;
    // Copies a device file or folder to the computer, replacing what is there only once the
    // copy is complete.
    virtual Task<void> download(DeviceFile file, DownloadDestination destination, QString name,
                                AndroidDevice device, std::optional<qint64> expectedBytes,
                                TransferProgressHandler progress) = 0;
};
