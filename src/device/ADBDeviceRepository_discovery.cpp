// Device listing, Wi-Fi connection and the device card's information.
#include "ADBDeviceRepository.h"

#include "ADBArguments.h"
#include "CommandStatus.h"
#include "DeviceCommands.h"
#include "DeviceInfoParser.h"
#include "DeviceListingParser.h"
#include "DeviceRepositoryError.h"
#include "TextDecoding.h"

Task<QList<AndroidDevice>> ADBDeviceRepository::devices() {
    const Result result = co_await runner.run(ADBArguments::deviceListing());
    checkStatus(result);
    co_return parseDeviceListing(result.outputData);
}

Task<AndroidDevice> ADBDeviceRepository::connect(QString host, QString port) {
    const QString target = host + QLatin1Char(':') + port;
    const Result result = co_await runner.run(ADBArguments::connect(target));
    checkStatus(result);
    // adb connect exits with 0 also when it could not connect ("failed to connect to …",
    // "cannot connect to …"); only its words tell.
    const QString output = decodedUTF8(result.outputData).value_or(QString());
    if (output.toLower().contains(QLatin1String("connected"))) {
        co_return AndroidDevice{target, host, AndroidDevice::State::connected,
                                ConnectionMethod::wifi};
    }
    throw DeviceRepositoryError::connectionFailed(output.trimmed());
}

Task<void> ADBDeviceRepository::disconnect(AndroidDevice device) {
    if (device.connectionMethod == ConnectionMethod::usb) {
        co_return;
    }
    try {
        co_await runner.run(ADBArguments::disconnect(device.id));
    } catch (...) {
        // Leaving a device never fails: it may already be gone, or adb with it.
    }
}

Task<DeviceInfo> ADBDeviceRepository::fetchDeviceInfo(AndroidDevice device) {
    const Result identity = co_await runCheckedShell(DeviceCommands::modelAndVersion(), device);
    const Result battery = co_await runCheckedShell(DeviceCommands::batteryState(), device);
    const Result storage = co_await runCheckedShell(DeviceCommands::sharedStorageSpace(), device);

    const ModelAndVersion modelAndVersion = parseModelAndVersion(identity.outputData);
    const BatteryState batteryState = parseBatteryState(battery.outputData);
    const StorageSpace space = parseStorageLine(storage.outputData);
    DeviceInfo info;
    info.model = modelAndVersion.model.isEmpty() ? device.name : modelAndVersion.model;
    info.androidVersion = modelAndVersion.androidVersion.value_or(QString());
    if (info.androidVersion.isEmpty()) {
        info.androidVersion = QStringLiteral("\u2014");
    }
    info.batteryLevel = batteryState.level;
    info.isCharging = batteryState.isCharging;
    info.totalStorage = space.totalBytes;
    info.freeStorage = space.availableBytes;
    co_return info;
}
