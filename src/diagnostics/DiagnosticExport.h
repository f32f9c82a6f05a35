// Saving a copy of the current session file for a problem report.
#pragma once

#include <QDateTime>
#include <QString>

enum class DiagnosticExportOutcome { saved, failed, cancelled };

// "Pavrel-Diagnostics-2024-05-01-123456.log" for the local time of `time`.
QString suggestedExportFileName(const QDateTime& time);

// What the settings sheet shows after an export; empty after a cancelled one.
QString diagnosticExportMessage(DiagnosticExportOutcome outcome);
