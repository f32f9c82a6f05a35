#include "DiagnosticErrorCategory.h"

#include "AppLanguageManager.h"
#include "CancelledError.h"
#include "DeviceRepositoryError.h"

#include <cxxabi.h>

#include <array>
#include <cstdlib>
#include <memory>

namespace {

struct KnownMessage {
    const char* english;
    const char* russian;
    const char* category;
};

const std::array knownMessages = {
    KnownMessage{"The file transfer is incomplete", "Файл передан не полностью",
                 "incomplete_transfer"},
    KnownMessage{"Wait for the current transfer to finish",
                 "Дождитесь завершения текущего копирования", "transfer_in_progress"},
    KnownMessage{"Enter a valid name without the / character",
                 "Введите корректное имя без символа /", "invalid_file_name"},
    KnownMessage{"An item with this name already exists", "Объект с таким именем уже существует",
                 "item_exists"},
};

struct MessagePattern {
    const char* pattern;
    const char* category;
};

// Order matters: the first pattern found wins, so "not found" beats "no devices".
const std::array messagePatterns = {
    MessagePattern{"unauthorized", "device_unauthorized"},
    MessagePattern{"offline", "device_offline"},
    MessagePattern{"not found", "not_found"},
    MessagePattern{"no devices", "device_not_found"},
    MessagePattern{"closed", "connection_closed"},
    MessagePattern{"transport", "transport_error"},
    MessagePattern{"connection reset", "connection_reset"},
    MessagePattern{"broken pipe", "broken_pipe"},
    MessagePattern{"daemon", "adb_daemon_error"},
    MessagePattern{"permission denied", "permission_denied"},
    MessagePattern{"no space left", "storage_full"},
    MessagePattern{"timed out", "timeout"},
};

QString deviceRepositoryCategory(const DeviceRepositoryError& error) {
    switch (error.errorCase()) {
    case DeviceRepositoryError::Case::connectionFailed:
        return messageCategory(error.message(), QStringLiteral("connection_failed"));
    case DeviceRepositoryError::Case::commandFailed:
        return messageCategory(error.message(), QStringLiteral("command_failed"));
    case DeviceRepositoryError::Case::insufficientDeviceStorage:
        return QStringLiteral("device_storage_insufficient");
    case DeviceRepositoryError::Case::insufficientMacStorage:
        return QStringLiteral("mac_storage_insufficient");
    case DeviceRepositoryError::Case::adbNotFound:
        return QStringLiteral("adb_not_found");
    case DeviceRepositoryError::Case::noDevice:
        return QStringLiteral("device_not_found");
    case DeviceRepositoryError::Case::itemAlreadyExists:
        return QStringLiteral("item_exists");
    }
    return QStringLiteral("unknown");
}

// "std::filesystem::__cxx11::filesystem_error" → "filesystem_error"; template arguments stay.
QString withoutNamespaces(const QString& name) {
    const qsizetype templateStart = name.indexOf(QLatin1Char('<'));
    const QString head = templateStart < 0 ? name : name.left(templateStart);
    const qsizetype separator = head.lastIndexOf(QStringLiteral("::"));
    return separator < 0 ? name : name.mid(separator + 2);
}

QString demangled(const char* mangled) {
    int status = 0;
    const std::unique_ptr<char, decltype(&std::free)> readable(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), &std::free);
    return QString::fromUtf8(status == 0 && readable ? readable.get() : mangled);
}

} // namespace

QString messageCategory(const QString& message, const QString& fallback) {
    for (const KnownMessage& known : knownMessages) {
        if (message ==
            localizedText(QString::fromUtf8(known.russian), QString::fromUtf8(known.english))) {
            return QString::fromLatin1(known.category);
        }
    }
    const QString lowered = message.toLower();
    for (const MessagePattern& pattern : messagePatterns) {
        if (lowered.contains(QLatin1String(pattern.pattern))) {
            return QString::fromLatin1(pattern.category);
        }
    }
    return fallback;
}

QString diagnosticErrorCategory(const std::exception_ptr& error) {
    if (!error) {
        return QStringLiteral("unknown");
    }
    try {
        std::rethrow_exception(error);
    } catch (const CancelledError&) {
        return QStringLiteral("cancelled");
    } catch (const DeviceRepositoryError& deviceError) {
        return deviceRepositoryCategory(deviceError);
    } catch (const std::exception& other) {
        // Platform errors (system_error with an errno, process launch failures) describe
        // themselves only through what(); the patterns pick the safe part out of it.
        return messageCategory(QString::fromLocal8Bit(other.what()), QStringLiteral("unknown"));
    } catch (...) {
        return QStringLiteral("unknown");
    }
}

QString diagnosticErrorTypeName(const std::exception_ptr& error) {
    if (!error) {
        return QStringLiteral("unknown");
    }
    try {
        std::rethrow_exception(error);
    } catch (...) {
        const std::type_info* type = abi::__cxa_current_exception_type();
        return type ? withoutNamespaces(demangled(type->name())) : QStringLiteral("unknown");
    }
}

DiagnosticFields storageShortfallFields(const std::exception_ptr& error) {
    if (!error) {
        return {};
    }
    try {
        std::rethrow_exception(error);
    } catch (const DeviceRepositoryError& deviceError) {
        const auto errorCase = deviceError.errorCase();
        if (errorCase == DeviceRepositoryError::Case::insufficientDeviceStorage ||
            errorCase == DeviceRepositoryError::Case::insufficientMacStorage) {
            return {{QStringLiteral("required_bytes"), QString::number(deviceError.required())},
                    {QStringLiteral("available_bytes"), QString::number(deviceError.available())}};
        }
    } catch (...) {
    }
    return {};
}
