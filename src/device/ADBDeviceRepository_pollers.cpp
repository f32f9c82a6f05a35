// Progress pollers: while adb copies one file, they measure the growing temporary copy at a
// fixed period and report the fraction it stands for.
#include "ADBDeviceRepository.h"

#include "CancelledError.h"
#include "LocalItems.h"
#include "MonotonicProgress.h"
#include "OffMainThread.h"

#include <algorithm>
#include <chrono>

using namespace std::chrono_literals;

namespace {

constexpr Clock::Duration uploadPeriod = 450ms;
constexpr Clock::Duration downloadPeriod = 350ms;
// A measurement is never the end: only the finished transfer reports 1.
constexpr double highestMeasuredFraction = 0.99;

// One report per round, or none. A round that fails (a lost device) reports nothing.
using Round = std::function<Task<std::optional<TransferProgress>>()>;

Task<void> poll(Clock& clock, Clock::Duration period, std::weak_ptr<const bool> owner, Round round,
                std::shared_ptr<MonotonicProgress> progress) {
    while (true) {
        try {
            co_await clock.sleep(period);
        } catch (const CancelledError&) {
        }
        if (isCurrentTaskCancelled() || owner.expired()) {
            co_return;
        }
        std::optional<TransferProgress> report;
        try {
            report = co_await round();
        } catch (...) {
            continue;
        }
        if (report && !isCurrentTaskCancelled() && !owner.expired()) {
            progress->report(*report);
        }
    }
}

double singleFileFraction(qint64 measured, qint64 expected) {
    return std::min(static_cast<double>(measured) / static_cast<double>(expected),
                    highestMeasuredFraction);
}

TransferProgress folderFileProgress(qint64 measured, qint64 done, qint64 fileSize, qint64 total,
                                    const QString& fileName) {
    const qint64 reached = std::min(total, done + std::min(fileSize, measured));
    return {static_cast<double>(reached) / static_cast<double>(total), fileName};
}

} // namespace

TaskHandle<void> ADBDeviceRepository::startSingleUploadPoller(QString temporaryPath,
                                                              AndroidDevice device,
                                                              qint64 expectedSize,
                                                              Progress progress) {
    Round round = [this, temporaryPath, device,
                   expectedSize]() -> Task<std::optional<TransferProgress>> {
        const qint64 measured = co_await remoteDiskUsage(temporaryPath, device);
        co_return TransferProgress{singleFileFraction(measured, expectedSize), std::nullopt};
    };
    return spawn(poll(m_clock, uploadPeriod, m_lifetime, std::move(round), std::move(progress)));
}

TaskHandle<void> ADBDeviceRepository::startSingleDownloadPoller(QString temporaryFolder,
                                                                qint64 expectedSize,
                                                                Progress progress) {
    Round round = [temporaryFolder, expectedSize]() -> Task<std::optional<TransferProgress>> {
        const QUrl folder = QUrl::fromLocalFile(temporaryFolder);
        const std::function<std::optional<qint64>()> measure = [folder] {
            return localItemSize(folder);
        };
        const auto measured = co_await OffMainThread<std::optional<qint64>>(measure);
        co_return TransferProgress{singleFileFraction(measured.value_or(0), expectedSize),
                                   std::nullopt};
    };
    return spawn(poll(m_clock, downloadPeriod, m_lifetime, std::move(round), std::move(progress)));
}

TaskHandle<void> ADBDeviceRepository::startFolderUploadPoller(QString temporaryPath,
                                                              AndroidDevice device, qint64 done,
                                                              qint64 fileSize, qint64 total,
                                                              QString fileName, Progress progress) {
    Round round = [this, temporaryPath, device, done, fileSize, total,
                   fileName]() -> Task<std::optional<TransferProgress>> {
        const auto measured = co_await remoteFileSize(temporaryPath, device);
        if (!measured) {
            co_return std::nullopt;
        }
        co_return folderFileProgress(*measured, done, fileSize, total, fileName);
    };
    return spawn(poll(m_clock, uploadPeriod, m_lifetime, std::move(round), std::move(progress)));
}

TaskHandle<void> ADBDeviceRepository::startFolderDownloadPoller(QString temporaryPath, qint64 done,
                                                                qint64 fileSize, qint64 total,
                                                                QString fileName,
                                                                Progress progress) {
    Round round = [temporaryPath, done, fileSize, total,
                   fileName]() -> Task<std::optional<TransferProgress>> {
        const QUrl file = QUrl::fromLocalFile(temporaryPath);
        const std::function<std::optional<qint64>()> measure = [file] {
            return localFileSize(file);
        };
        const auto measured = co_await OffMainThread<std::optional<qint64>>(measure);
        if (!measured) {
            co_return std::nullopt;
        }
        co_return folderFileProgress(*measured, done, fileSize, total, fileName);
    };
    return spawn(poll(m_clock, downloadPeriod, m_lifetime, std::move(round), std::move(progress)));
}
