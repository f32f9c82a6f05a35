#include "MockDeviceRepository.h"

#include "DevicePath.h"

namespace {

const QString mockModel = QStringLiteral("Pixel 9 Pro");
constexpr qint64 mockFreeStorage = 68'719'476'736;
// What a mock folder without a size counts for in a total.
constexpr qint64 mockFolderSize = 2'400'000'000;

DeviceFile mockEntry(const QString& folder, const QString& name, bool isDirectory,
                     std::optional<qint64> size, qint64 secondsAgo, const QDateTime& now) {
    return {name, folder + QLatin1Char('/') + name, isDirectory, size, now.addSecs(-secondsAgo)};
}

} // namespace

MockDeviceRepository::MockDeviceRepository()
    : mockDevice{QStringLiteral("MOCK-PIXEL-9-PRO"), mockModel, AndroidDevice::State::connected,
                 ConnectionMethod::usb} {}

Task<QList<AndroidDevice>> MockDeviceRepository::devices() {
    co_return QList<AndroidDevice>{mockDevice};
}

Task<AndroidDevice> MockDeviceRepository::connect(QString host, QString port) {
    co_return AndroidDevice{host + QLatin1Char(':') + port, mockModel,
                            AndroidDevice::State::connected, ConnectionMethod::wifi};
}

Task<void> MockDeviceRepository::disconnect(AndroidDevice) {
    co_return;
}

Task<DeviceInfo> MockDeviceRepository::fetchDeviceInfo(AndroidDevice) {
    co_return DeviceInfo{mockModel, QStringLiteral("16"), 78,
                         true,      mockFreeStorage,      128'000'000'000};
}

Task<bool> MockDeviceRepository::directoryExists(QString, AndroidDevice) {
    co_return true;
}

Task<QList<DeviceFile>> MockDeviceRepository::listFiles(QString path, AndroidDevice) {
    const QDateTime now = QDateTime::currentDateTime();
    constexpr qint64 hour = 3600;
    co_return QList<DeviceFile>{
        mockEntry(path, QStringLiteral("DCIM"), true, std::nullopt, hour, now),
        mockEntry(path, QStringLiteral("Download"), true, std::nullopt, 24 * hour, now),
        mockEntry(path, QStringLiteral("Documents"), true, std::nullopt, 48 * hour, now),
        mockEntry(path, QStringLiteral("holiday.jpg"), false, 3'842'100, 2 * hour, now),
        mockEntry(path, QStringLiteral("presentation.pdf"), false, 12'481'200, 25 * hour, now),
        mockEntry(path, QStringLiteral("voice-note.m4a"), false, 948'210, 190'000, now),
    };
}

Task<std::optional<qint64>> MockDeviceRepository::totalSize(QList<DeviceFile> files,
                                                            AndroidDevice) {
    qint64 total = 0;
    for (const DeviceFile& file : files) {
        total += file.size.value_or(file.isDirectory ? mockFolderSize : 0);
    }
    co_return total;
}

Task<std::optional<qint64>> MockDeviceRepository::availableSpace(QString, AndroidDevice) {
    co_return mockFreeStorage;
}

Task<QByteArray> MockDeviceRepository::readFilePrefix(DeviceFile, qint64, AndroidDevice) {
    co_return QByteArray();
}

Task<void> MockDeviceRepository::createFolder(QString, QString, AndroidDevice) {
    co_return;
}

Task<void> MockDeviceRepository::deleteItem(DeviceFile, AndroidDevice) {
    co_return;
}

Task<void> MockDeviceRepository::renameItem(DeviceFile, QString, AndroidDevice) {
    co_return;
}

Task<void> MockDeviceRepository::upload(QUrl localURL, QString, QString, AndroidDevice,
                                        std::optional<qint64>, TransferProgressHandler progress) {
    if (progress) {
        progress({1.0, lastPathComponent(localURL.toLocalFile())});
    }
    co_return;
}

Task<void> MockDeviceRepository::download(DeviceFile file, DownloadDestination, QString,
                                          AndroidDevice, std::optional<qint64>,
                                          TransferProgressHandler progress) {
    if (progress) {
        progress({1.0, file.name});
    }
    co_return;
}
