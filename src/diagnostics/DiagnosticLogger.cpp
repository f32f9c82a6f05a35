#include "DiagnosticLogger.h"

#include "DiagnosticErrorCategory.h"
#include "DiagnosticSessionFiles.h"
#include "DiagnosticSessionStart.h"
#include "StandardDirectories.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUuid>

QString diagnosticsDirectory() {
    const bool hasApplicationSupport =
        !QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).isEmpty();
    const QString base =
        hasApplicationSupport
            ? applicationSupportDirectory()
            : QDir(QDir::tempPath()).filePath(QString::fromLatin1(bundleIdentifier));
    return QDir(base).filePath(QStringLiteral("Diagnostics"));
}

DiagnosticLogger& DiagnosticLogger::shared() {
    static DiagnosticLogger logger(diagnosticsDirectory(), sessionStartedFields());
    return logger;
}

DiagnosticLogger::DiagnosticLogger(const QString& directory, const DiagnosticFields& sessionFields,
                                   WallClock clock)
    : clock_(std::move(clock)), directoryPath_(directory) {
    QDir().mkpath(directoryPath_);
    startSessionFile();
    log(QStringLiteral("session.started"), sessionFields);
}

DiagnosticLogger::~DiagnosticLogger() = default;

void DiagnosticLogger::startSessionFile() {
    const QString name = sessionFileName(clock_(), QUuid::createUuid());
    currentLogPath_ = QDir(directoryPath_).filePath(name);
    if (!QFileInfo::exists(currentLogPath_)) {
        QFile(currentLogPath_).open(QIODevice::WriteOnly);
    }
    pruneDiagnosticDirectory(directoryPath_, maximumFileCount, name);
}

void DiagnosticLogger::rotateIfNeeded() {
    // A size that cannot be read counts as 0: QFileInfo reports 0 for a missing file.
    const qint64 size = QFileInfo(currentLogPath_).size();
    if (static_cast<quint64>(size) < maximumFileSize) {
        return;
    }
    handle_.reset();
    startSessionFile();
}

bool DiagnosticLogger::openHandle() {
    if (handle_) {
        return true;
    }
    // Unbuffered append: each event reaches the file whole before log() returns.
    auto file = std::make_unique<QFile>(currentLogPath_);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        return false;
    }
    handle_ = std::move(file);
    return true;
}

void DiagnosticLogger::log(const QString& event, const DiagnosticFields& fields) {
    rotateIfNeeded();
    const QByteArray bytes = formatDiagnosticLine(clock_(), event, fields).toUtf8();
    if (!openHandle()) {
        return;
    }
    if (handle_->write(bytes) != bytes.size()) {
        handle_.reset();
    }
}

void DiagnosticLogger::logError(const QString& event, const QString& operation,
                                const std::exception_ptr& error, const DiagnosticFields& fields) {
    DiagnosticFields written = fields;
    written.insert(QStringLiteral("operation"), operation);
    written.insert(QStringLiteral("error_code"), errorCategory(error));
    written.insert(QStringLiteral("error_type"), diagnosticErrorTypeName(error));
    written.insert(storageShortfallFields(error));
    log(event, written);
}

QString DiagnosticLogger::errorCategory(const std::exception_ptr& error) {
    return diagnosticErrorCategory(error);
}

DiagnosticExportOutcome
DiagnosticLogger::exportCurrentSession(const ExportDestinationChooser& chooseDestination) {
    // The handle is unbuffered, so every event is already in the file.
    QFile session(currentLogPath_);
    if (!session.open(QIODevice::ReadOnly)) {
        return DiagnosticExportOutcome::failed;
    }
    const QByteArray contents = session.readAll();
    if (session.error() != QFileDevice::NoError) {
        return DiagnosticExportOutcome::failed;
    }
    session.close();

    const QString destination = chooseDestination(suggestedExportFileName(clock_()));
    if (destination.isEmpty()) {
        return DiagnosticExportOutcome::cancelled;
    }
    QSaveFile copy(destination);
    if (!copy.open(QIODevice::WriteOnly) || copy.write(contents) != contents.size() ||
        !copy.commit()) {
        log(QStringLiteral("diagnostics.export_failed"),
            {{QStringLiteral("error"), QStringLiteral("write_failed")}});
        return DiagnosticExportOutcome::failed;
    }
    // Saving over the session file itself replaces it; the open handle would keep writing
    // into the replaced copy and every later line would be lost.
    if (QFileInfo(destination) == QFileInfo(currentLogPath_)) {
        handle_.reset();
    }
    log(QStringLiteral("diagnostics.exported"));
    return DiagnosticExportOutcome::saved;
}
