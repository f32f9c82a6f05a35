#include "DiagnosticExport.h"

#include "AppLanguageManager.h"

QString suggestedExportFileName(const QDateTime& time) {
    return QStringLiteral("Pavrel-Diagnostics-%1.log")
        .arg(time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss")));
}

QString diagnosticExportMessage(DiagnosticExportOutcome outcome) {
    switch (outcome) {
    case DiagnosticExportOutcome::saved:
        return localizedText(QStringLiteral("Диагностический отчёт сохранён."),
                             QStringLiteral("Diagnostic report saved."));
    case DiagnosticExportOutcome::failed:
        return localizedText(QStringLiteral("Не удалось сохранить диагностический отчёт."),
                             QStringLiteral("Could not save the diagnostic report."));
    case DiagnosticExportOutcome::cancelled:
        return {};
    }
    return {};
}
