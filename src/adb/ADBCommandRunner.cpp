#include "ADBCommandRunner.h"

#include "ADBCommandClassification.h"
#include "CancelledError.h"
#include "DeviceRepositoryError.h"
#include "DiagnosticLogger.h"
#include "ProcessRun.h"
#include "StrictUTF8.h"

#include <QProcess>

#include <chrono>

namespace {

// Collects both channels as they arrive, so that a child writing a lot never waits on a full
// pipe, and passes each chunk that is text on its own to the output callback.
class OutputCollector {
public:
    OutputCollector(QProcess& process, std::function<void(const QString&)> onOutput)
        : process_(process), onOutput_(std::move(onOutput)) {
        connections_[0] = QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] {
            take(process_.readAllStandardOutput(), outputData_);
        });
        connections_[1] = QObject::connect(&process_, &QProcess::readyReadStandardError, [this] {
            take(process_.readAllStandardError(), errorData_);
        });
    }

    // Takes what is left in both channels once the process has ended, output first.
    void drain() {
        for (const auto& connection : connections_) {
            QObject::disconnect(connection);
        }
        take(process_.readAllStandardOutput(), outputData_);
        take(process_.readAllStandardError(), errorData_);
    }

    const QByteArray& outputData() const { return outputData_; }
    const QByteArray& errorData() const { return errorData_; }

private:
    void take(const QByteArray& chunk, QByteArray& storage) {
        if (chunk.isEmpty()) {
            return;
        }
        storage.append(chunk);
        if (!onOutput_) {
            return;
        }
        if (const auto text = decodeStrictUTF8(chunk)) {
            onOutput_(*text);
        }
    }

    QProcess& process_;
    std::function<void(const QString&)> onOutput_;
    QMetaObject::Connection connections_[2];
    QByteArray outputData_;
    QByteArray errorData_;
};

void logFailure(const QString& category, const QString& error, const QString& durationMs = {}) {
    DiagnosticFields fields{{QStringLiteral("category"), category},
                            {QStringLiteral("error"), error}};
    if (!durationMs.isNull()) {
        fields.insert(QStringLiteral("duration_ms"), durationMs);
    }
    DiagnosticLogger::shared().log(QStringLiteral("adb.command.failed"), fields);
}

} // namespace

ADBCommandRunner::ADBCommandRunner(std::shared_ptr<const ADBExecutableResolving> executableResolver,
                                   Clock& clock)
    : executableResolver_(std::move(executableResolver)), clock_(clock) {}

Task<ADBCommandRunner::Result> ADBCommandRunner::run(QStringList arguments,
                                                     std::function<void(const QString&)> onOutput) {
    const QString category = adbCommandCategory(arguments);
    const Clock::Instant start = clock_.now();

    const std::optional<QString> executable = executableResolver_->resolveExecutable();
    if (!executable) {
        logFailure(category, QStringLiteral("adb_not_found"));
        throw DeviceRepositoryError::adbNotFound();
    }
    checkCancelled();

    QProcess process;
    process.setProgram(*executable);
    process.setArguments(arguments);
    process.setInputChannelMode(QProcess::ForwardedInputChannel);
    OutputCollector collector(process, std::move(onOutput));

    std::exception_ptr failure;
    try {
        co_await runProcess(process);
    } catch (...) {
        failure = std::current_exception();
    }
    // A terminated process still hands over what it wrote before it ended.
    collector.drain();

    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(clock_.now() - start).count();
    const QString durationMs = QString::number(elapsed);
    if (failure) {
        logFailure(category,
                   isCancellation(failure) ? QStringLiteral("cancelled")
                                           : QStringLiteral("process_error"),
                   durationMs);
        std::rethrow_exception(failure);
    }

    Result result{collector.outputData(), collector.errorData(), qint32(process.exitCode())};
    const QString error = adbErrorClassification(result.errorData);
    if (result.status != 0 || error != QLatin1String("none") || elapsed >= 1000) {
        DiagnosticLogger::shared().log(
            QStringLiteral("adb.command.issue"),
            {{QStringLiteral("category"), category},
             {QStringLiteral("duration_ms"), durationMs},
             {QStringLiteral("error"), error},
             {QStringLiteral("status"), QString::number(result.status)}});
    }
    co_return result;
}
