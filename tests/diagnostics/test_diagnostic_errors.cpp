// Errors reduced to safe words: categories, type names, storage byte counts and the
// failure events written by logError.
#include "AppLanguageManager.h"
#include "CancelledError.h"
#include "DeviceRepositoryError.h"
#include "DiagnosticErrorCategory.h"
#include "DiagnosticLogger.h"
#include "FreshPreferences.h"
#include "ProcessLaunchError.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <filesystem>
#include <system_error>

#include <gtest/gtest.h>

namespace {

using Error = DeviceRepositoryError;

template <typename E> std::exception_ptr errorOf(E error) {
    return std::make_exception_ptr(std::move(error));
}

struct CategoryCase {
    const char* reason;
    std::exception_ptr error;
    QString category;
    QString typeName;
};

class ErrorCategory : public testing::TestWithParam<CategoryCase> {
protected:
    void SetUp() override { AppLanguageManager::shared().setCurrent(AppLanguage::english); }
    FreshPreferences preferences;
};

TEST_P(ErrorCategory, NamesTheErrorWithSafeWords) {
    EXPECT_EQ(DiagnosticLogger::errorCategory(GetParam().error), GetParam().category);
    EXPECT_EQ(diagnosticErrorTypeName(GetParam().error), GetParam().typeName);
}

const QString repo = QStringLiteral("DeviceRepositoryError");

INSTANTIATE_TEST_SUITE_P(
    Errors, ErrorCategory,
    testing::Values(
        CategoryCase{"cancellation", errorOf(CancelledError()), "cancelled", "CancelledError"},
        CategoryCase{"unauthorized_any_case",
                     errorOf(Error::commandFailed("error: Device UNAUTHORIZED.\nThis adb "
                                                  "server's $ADB_VENDOR_KEYS is not set")),
                     "device_unauthorized", repo},
        CategoryCase{"command_message_unmatched",
                     errorOf(Error::commandFailed("mkdir: '/sdcard/a b': Read-only file system")),
                     "command_failed", repo},
        CategoryCase{"connection_message_unmatched",
                     errorOf(Error::connectionFailed(
                         "failed to connect to '192.168.1.5:5555': Connection refused")),
                     "connection_failed", repo},
        CategoryCase{"connection_timed_out",
                     errorOf(Error::connectionFailed(
                         "failed to connect to 10.0.0.2:5555: Connection timed out")),
                     "timeout", repo},
        CategoryCase{"not_found_before_no_devices",
                     errorOf(Error::commandFailed("adb: no devices/emulators found; device "
                                                  "'R58M' not found")),
                     "not_found", repo},
        CategoryCase{"no_devices", errorOf(Error::commandFailed("adb: no devices/emulators")),
                     "device_not_found", repo},
        CategoryCase{"offline", errorOf(Error::commandFailed("error: device offline")),
                     "device_offline", repo},
        CategoryCase{"closed", errorOf(Error::commandFailed("error: closed")), "connection_closed",
                     repo},
        CategoryCase{"transport", errorOf(Error::commandFailed("error: transport error")),
                     "transport_error", repo},
        CategoryCase{"connection_reset",
                     errorOf(Error::commandFailed("read: Connection reset by peer")),
                     "connection_reset", repo},
        CategoryCase{"broken_pipe", errorOf(Error::commandFailed("write failed: Broken pipe")),
                     "broken_pipe", repo},
        CategoryCase{"daemon",
                     errorOf(Error::connectionFailed("cannot connect to daemon at tcp:5037")),
                     "adb_daemon_error", repo},
        CategoryCase{"permission_denied",
                     errorOf(Error::commandFailed("rm: /sdcard/x: Permission denied")),
                     "permission_denied", repo},
        CategoryCase{"no_space_left",
                     errorOf(Error::commandFailed("write: No space left on device")),
                     "storage_full", repo},
        CategoryCase{"device_storage", errorOf(Error::insufficientDeviceStorage(10, 5)),
                     "device_storage_insufficient", repo},
        CategoryCase{"computer_storage", errorOf(Error::insufficientMacStorage(10, 5)),
                     "mac_storage_insufficient", repo},
        CategoryCase{"adb_not_found", errorOf(Error::adbNotFound()), "adb_not_found", repo},
        CategoryCase{"no_device", errorOf(Error::noDevice()), "device_not_found", repo},
        CategoryCase{"item_already_exists", errorOf(Error::itemAlreadyExists()), "item_exists",
                     repo},
        CategoryCase{"posix_permission",
                     errorOf(std::system_error(EACCES, std::generic_category(), "open")),
                     "permission_denied", "system_error"},
        CategoryCase{"posix_disk_full", errorOf(std::system_error(ENOSPC, std::generic_category())),
                     "storage_full", "system_error"},
        CategoryCase{"posix_missing_file",
                     errorOf(std::system_error(ENOENT, std::generic_category())), "unknown",
                     "system_error"},
        CategoryCase{"filesystem_error_type_without_namespaces",
                     errorOf(std::filesystem::filesystem_error(
                         "remove", std::make_error_code(std::errc::broken_pipe))),
                     "broken_pipe", "filesystem_error"},
        CategoryCase{"other_error_known_message",
                     errorOf(std::runtime_error("The file transfer is incomplete")),
                     "incomplete_transfer", "runtime_error"},
        CategoryCase{"other_error_unmatched", errorOf(std::runtime_error("bad")), "unknown",
                     "runtime_error"},
        CategoryCase{"not_an_exception_class", std::make_exception_ptr(42), "unknown", "int"},
        CategoryCase{"no_error_at_all", std::exception_ptr(), "unknown", "unknown"}),
    [](const testing::TestParamInfo<CategoryCase>& info) { return info.param.reason; });

struct LaunchCase {
    const char* reason;
    bool fileExists;
    QString category;
};

class ProcessLaunchCategory : public testing::TestWithParam<LaunchCase> {};

// The text the system gives for a refused launch is what a ProcessLaunchError carries.
TEST_P(ProcessLaunchCategory, ComesFromTheSystemsReason) {
    QTemporaryDir dir;
    const QString program = dir.filePath("adb");
    if (GetParam().fileExists) {
        QFile file(program);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    QProcess process;
    process.start(program, {});
    ASSERT_FALSE(process.waitForStarted());
    const auto error = errorOf(ProcessLaunchError(process.errorString().toStdString()));
    EXPECT_EQ(DiagnosticLogger::errorCategory(error), GetParam().category)
        << process.errorString().toStdString();
    EXPECT_EQ(diagnosticErrorTypeName(error), "ProcessLaunchError");
}

INSTANTIATE_TEST_SUITE_P(Launches, ProcessLaunchCategory,
                         testing::Values(LaunchCase{"not_executable", true, "permission_denied"},
                                         LaunchCase{"missing", false, "unknown"}),
                         [](const testing::TestParamInfo<LaunchCase>& info) {
                             return info.param.reason;
                         });

struct KnownMessageCase {
    const char* reason;
    AppLanguage language;
    QString message;
    QString category;
};

class KnownMessageCategory : public testing::TestWithParam<KnownMessageCase> {
protected:
    FreshPreferences preferences;
};

TEST_P(KnownMessageCategory, MatchesOnlyTheInterfaceLanguage) {
    AppLanguageManager::shared().setCurrent(GetParam().language);
    EXPECT_EQ(DiagnosticLogger::errorCategory(errorOf(Error::commandFailed(GetParam().message))),
              GetParam().category);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, KnownMessageCategory,
    testing::Values(KnownMessageCase{"english_in_english", AppLanguage::english,
                                     "An item with this name already exists", "item_exists"},
                    KnownMessageCase{"english_in_russian", AppLanguage::russian,
                                     "An item with this name already exists", "command_failed"},
                    KnownMessageCase{"russian_in_russian", AppLanguage::russian,
                                     "Объект с таким именем уже существует", "item_exists"},
                    KnownMessageCase{"russian_in_english", AppLanguage::english,
                                     "Объект с таким именем уже существует", "command_failed"},
                    KnownMessageCase{"incomplete_transfer", AppLanguage::russian,
                                     "Файл передан не полностью", "incomplete_transfer"},
                    KnownMessageCase{"transfer_in_progress", AppLanguage::english,
                                     "Wait for the current transfer to finish",
                                     "transfer_in_progress"},
                    KnownMessageCase{"invalid_name", AppLanguage::russian,
                                     "Введите корректное имя без символа /", "invalid_file_name"},
                    KnownMessageCase{"whole_text_only", AppLanguage::english,
                                     "An item with this name already exists.", "command_failed"},
                    KnownMessageCase{"pattern_in_cyrillic_text", AppLanguage::russian,
                                     "Ошибка: PERMISSION DENIED", "permission_denied"}),
    [](const testing::TestParamInfo<KnownMessageCase>& info) { return info.param.reason; });

class LogErrorEvent : public testing::Test {
protected:
    void SetUp() override { AppLanguageManager::shared().setCurrent(AppLanguage::english); }

    QString lastLine(const std::exception_ptr& error, const DiagnosticFields& fields = {}) {
        DiagnosticLogger logger(root.filePath("Diagnostics"), {},
                                [] { return QDateTime(QDate(2024, 5, 1), QTime(12, 0), Qt::UTC); });
        logger.logError("transfer.failed", "upload", error, fields);
        QFile file(logger.currentLogPath());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts).last();
    }

    FreshPreferences preferences;
    QTemporaryDir root;
};

TEST_F(LogErrorEvent, StorageShortfallAddsBothByteCounts) {
    EXPECT_EQ(lastLine(errorOf(Error::insufficientDeviceStorage(5'000'000'000, 1'024))),
              "2024-05-01T12:00:00Z transfer.failed available_bytes=1024 "
              "error_code=device_storage_insufficient error_type=DeviceRepositoryError "
              "operation=upload required_bytes=5000000000");
    EXPECT_EQ(lastLine(errorOf(Error::insufficientMacStorage(7, 0))),
              "2024-05-01T12:00:00Z transfer.failed available_bytes=0 "
              "error_code=mac_storage_insufficient error_type=DeviceRepositoryError "
              "operation=upload required_bytes=7");
}

TEST_F(LogErrorEvent, OtherErrorsCarryNoByteCountsAndNoMessage) {
    EXPECT_EQ(lastLine(errorOf(Error::commandFailed("rm: /sdcard/Secret Photos/a.jpg: "
                                                    "Permission denied")),
                       {{"item_count", "3"}}),
              "2024-05-01T12:00:00Z transfer.failed error_code=permission_denied "
              "error_type=DeviceRepositoryError item_count=3 operation=upload");
}

TEST_F(LogErrorEvent, ItsOwnFieldsOverrideTheCallers) {
    EXPECT_EQ(lastLine(errorOf(CancelledError()), {{"operation", "x"}, {"error_code", "y"}}),
              "2024-05-01T12:00:00Z transfer.failed error_code=cancelled "
              "error_type=CancelledError operation=upload");
}

} // namespace
