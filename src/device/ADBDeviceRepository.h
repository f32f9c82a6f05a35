// The device repository over adb: every operation is one or more runs of the bundled adb
// through the command runner, with the device chosen by "-s" and its serial.
#pragma once

#include "ADBCommandRunning.h"
#include "Clock.h"
#include "DeviceRepository.h"
#include "Spawn.h"
#include "StatLineParser.h"

#include <QStringList>

#include <memory>

class MonotonicProgress;

class ADBDeviceRepository : public DeviceRepository {
public:
    // `clock` paces the progress pollers; tests hand in a manual one.
    explicit ADBDeviceRepository(ADBCommandRunning& runner, Clock& clock = steadyClock());
    ADBDeviceRepository(const ADBDeviceRepository&) = delete;
    ADBDeviceRepository& operator=(const ADBDeviceRepository&) = delete;

    Task<QList<AndroidDevice>> devices() override;
    Task<AndroidDevice> connect(QString host, QString port) override;
    Task<void> disconnect(AndroidDevice device) override;
    Task<DeviceInfo> fetchDeviceInfo(AndroidDevice device) override;

    Task<bool> directoryExists(QString path, AndroidDevice device) override;
    Task<QList<DeviceFile>> listFiles(QString path, AndroidDevice device) override;
    Task<std::optional<qint64>> totalSize(QList<DeviceFile> files, AndroidDevice device) override;
    Task<std::optional<qint64>> availableSpace(QString path, AndroidDevice device) override;
    Task<QByteArray> readFilePrefix(DeviceFile file, qint64 maxBytes,
                                    AndroidDevice device) override;
    Task<void> createFolder(QString name, QString parentPath, AndroidDevice device) override;
    Task<void> deleteItem(DeviceFile file, AndroidDevice device) override;
    Task<void> renameItem(DeviceFile file, QString newName, AndroidDevice device) override;

    Task<void> upload(QUrl localURL, QString remoteFolder, QString name, AndroidDevice device,
                      std::optional<qint64> expectedBytes,
                      TransferProgressHandler progress) override;
    Task<void> download(DeviceFile file, DownloadDestination destination, QString name,
                        AndroidDevice device, std::optional<qint64> expectedBytes,
                        TransferProgressHandler progress) override;

private:
    using Result = ADBCommandResult;
    using Progress = std::shared_ptr<MonotonicProgress>;
    // Lives as long as the repository; pollers hold it weakly.
    using Lifetime = std::shared_ptr<const bool>;

    Task<Result> runShell(QString command, AndroidDevice device);
    // A shell command whose non-zero status fails the operation.
    Task<Result> runCheckedShell(QString command, AndroidDevice device);

    // Measurements of items on the device.
    Task<std::optional<qint64>> remoteFileSize(QString path, AndroidDevice device);
    Task<qint64> remoteDiskUsage(QString path, AndroidDevice device);
    Task<QList<RemoteDirectoryEntry>> listRemoteTree(QString root, AndroidDevice device);

    // Work that a cancelled transfer must not interrupt half way, each run in a fresh task.
    Task<void> swapIntoPlace(QString temporary, QString final, QString backup,
                             AndroidDevice device);
    Task<void> removeRemoteTemporaryItem(QString path, AndroidDevice device);
    Task<void> requestMediaScan(QString path, AndroidDevice device);

    Task<void> uploadFile(QString localPath, QString remoteFolder, QString name,
                          AndroidDevice device, std::optional<qint64> expectedBytes,
                          Progress progress);
    Task<void> uploadFolder(QString localPath, QString remoteFolder, QString name,
                            AndroidDevice device, std::optional<qint64> expectedBytes,
                            Progress progress);
    Task<void> downloadFile(DeviceFile file, QString finalPath, AndroidDevice device,
                            std::optional<qint64> expectedBytes, Progress progress);
    Task<void> downloadFolder(DeviceFile file, QString finalPath, AndroidDevice device,
                              std::optional<qint64> expectedBytes, Progress progress);
    // Compares a finished copy with its source; a short copy fails the transfer.
    Task<void> verifyRemoteCopy(QString path, qint64 expectedSize, AndroidDevice device);

    // Pollers report the growth of one copy until their handle is cancelled.
    TaskHandle<void> startSingleUploadPoller(QString temporaryPath, AndroidDevice device,
                                             qint64 expectedSize, Progress progress);
    TaskHandle<void> startSingleDownloadPoller(QString temporaryFolder, qint64 expectedSize,
                                               Progress progress);
    TaskHandle<void> startFolderUploadPoller(QString temporaryPath, AndroidDevice device,
                                             qint64 done, qint64 fileSize, qint64 total,
                                             QString fileName, Progress progress);
    TaskHandle<void> startFolderDownloadPoller(QString temporaryPath, qint64 done, qint64 fileSize,
                                               qint64 total, QString fileName, Progress progress);

    ADBCommandRunning& runner;
    Clock& m_clock;
    Lifetime m_lifetime;
};
