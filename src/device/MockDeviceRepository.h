// A repository that answers at once with fixed data and never runs adb, so that the screens
// can be exercised without a device.
#pragma once

#include "DeviceRepository.h"

class MockDeviceRepository : public DeviceRepository {
public:
    MockDeviceRepository();

    // The device the mock pretends is attached.
    AndroidDevice mockDevice;

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
};
