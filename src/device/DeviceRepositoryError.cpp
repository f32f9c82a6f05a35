#include "DeviceRepositoryError.h"

#include "HostNaming.h"

#include "AppLanguageManager.h"
#include "Formatting.h"

DeviceRepositoryError::DeviceRepositoryError(Case errorCase, QString message, qint64 required,
                                             qint64 available)
    : m_case(errorCase), m_message(std::move(message)), m_required(required),
      m_available(available) {}

DeviceRepositoryError DeviceRepositoryError::connectionFailed(const QString& message) {
    return {Case::connectionFailed, message, 0, 0};
}

DeviceRepositoryError DeviceRepositoryError::commandFailed(const QString& message) {
    return {Case::commandFailed, message, 0, 0};
}

DeviceRepositoryError DeviceRepositoryError::insufficientDeviceStorage(qint64 required,
                                                                       qint64 available) {
    return {Case::insufficientDeviceStorage, {}, required, available};
}

DeviceRepositoryError DeviceRepositoryError::insufficientMacStorage(qint64 required,
                                                                    qint64 available) {
    return {Case::insufficientMacStorage, {}, required, available};
}

DeviceRepositoryError DeviceRepositoryError::adbNotFound() {
    return {Case::adbNotFound, {}, 0, 0};
}

DeviceRepositoryError DeviceRepositoryError::noDevice() {
    return {Case::noDevice, {}, 0, 0};
}

DeviceRepositoryError DeviceRepositoryError::itemAlreadyExists() {
    return {Case::itemAlreadyExists, {}, 0, 0};
}

QString DeviceRepositoryError::description() const {
    const auto required = [this] { return formatByteCount(m_required); };
    const auto available = [this] { return formatByteCount(m_available); };
    switch (m_case) {
    case Case::connectionFailed:
    case Case::commandFailed:
        return m_message;
    case Case::insufficientDeviceStorage:
        return localizedText(
            QStringLiteral("На устройстве недостаточно места. Требуется %1, доступно %2.")
                .arg(required(), available()),
            QStringLiteral("There is not enough space on the device. %1 is required, %2 is "
                           "available.")
                .arg(required(), available()));
    case Case::insufficientMacStorage: {
        const QString message = localizedText(hostText(HostPhrase::insufficientStorageMessage));
        return message.arg(required(), available());
    }
    case Case::adbNotFound:
        return localizedText(QStringLiteral("Встроенный ADB недоступен."),
                             QStringLiteral("The bundled ADB is unavailable."));
    case Case::noDevice:
        return localizedText(QStringLiteral("Устройство не найдено"),
                             QStringLiteral("Device not found"));
    case Case::itemAlreadyExists:
        return localizedText(QStringLiteral("Объект с таким именем уже существует"),
                             QStringLiteral("An item with this name already exists"));
    }
    return {};
}

const char* DeviceRepositoryError::what() const noexcept {
    switch (m_case) {
    case Case::connectionFailed:
        return "DeviceRepositoryError.connectionFailed";
    case Case::commandFailed:
        return "DeviceRepositoryError.commandFailed";
    case Case::insufficientDeviceStorage:
        return "DeviceRepositoryError.insufficientDeviceStorage";
    case Case::insufficientMacStorage:
        return "DeviceRepositoryError.insufficientMacStorage";
    case Case::adbNotFound:
        return "DeviceRepositoryError.adbNotFound";
    case Case::noDevice:
        return "DeviceRepositoryError.noDevice";
    case Case::itemAlreadyExists:
        return "DeviceRepositoryError.itemAlreadyExists";
    }
    return "DeviceRepositoryError";
}

bool DeviceRepositoryError::operator==(const DeviceRepositoryError& other) const {
    return m_case == other.m_case && m_message == other.m_message &&
           m_required == other.m_required && m_available == other.m_available;
}
