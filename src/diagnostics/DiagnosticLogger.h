// The diagnostic session log: short, fixed events of every subsystem written to a plain-text
// file per run, so that a user can attach it to a problem report. It never receives file
// names, device paths, serial numbers or free-form error messages.
#pragma once

#include "DiagnosticExport.h"
#include "DiagnosticLine.h"

#include <QDateTime>
#include <QFile>
#include <QString>

#include <exception>
#include <functional>
#include <memory>

// Lives on the main thread; every subsystem logs from there, so it needs no lock.
class DiagnosticLogger {
public:
    using WallClock = std::function<QDateTime()>;
    // Asked for the export's destination with a suggested file name; empty when the user cancels.
    using ExportDestinationChooser = std::function<QString(const QString& suggestedFileName)>;

    static constexpr qint64 maximumFileCount = 5;
    static constexpr quint64 maximumFileSize = 1'048'576;

    // The process-wide log in the user's Diagnostics folder, created on first use.
    static DiagnosticLogger& shared();

    // A log writing its session files into `directory`, starting with `session.started`
    // carrying `sessionFields`. `clock` gives the wall time of events and file names.
    DiagnosticLogger(const QString& directory, const DiagnosticFields& sessionFields,
                     WallClock clock = &QDateTime::currentDateTimeUtc);
    ~DiagnosticLogger();

    DiagnosticLogger(const DiagnosticLogger&) = delete;
    DiagnosticLogger& operator=(const DiagnosticLogger&) = delete;

    // Appends one event. Never fails towards the caller: a line that cannot be written is dropped.
    void log(const QString& event, const DiagnosticFields& fields = {});

    // Appends one failure event: `fields` plus operation, error_code, error_type and, for a
    // storage shortfall, required_bytes and available_bytes. The error's text is never written.
    void logError(const QString& event, const QString& operation, const std::exception_ptr& error,
                  const DiagnosticFields& fields = {});

    // The safe category of an error ("cancelled", "device_unauthorized", "unknown", ...).
    static QString errorCategory(const std::exception_ptr& error);

    // Copies the current session file to the place `chooseDestination` names, replacing any
    // file there in one step, and logs the outcome. The chooser is not asked when the session
    // file cannot be read.
    DiagnosticExportOutcome exportCurrentSession(const ExportDestinationChooser& chooseDestination);

    const QString& directoryPath() const { return directoryPath_; }
    const QString& currentLogPath() const { return currentLogPath_; }

private:
    void startSessionFile();
    void rotateIfNeeded();
    bool openHandle();

    WallClock clock_;
    QString directoryPath_;
    QString currentLogPath_;
    std::unique_ptr<QFile> handle_;
};

// The folder that keeps the session files: Application Support, or the temporary folder
// when the system names no Application Support folder.
QString diagnosticsDirectory();
