#include "DiagnosticSessionExport.h"

#include "DiagnosticLogger.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

QString askForExportDestination(const QString& suggestedFileName) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileDialog::getSaveFileName(nullptr, QString(),
                                        QDir(folder).filePath(suggestedFileName));
}

DiagnosticExportOutcome exportCurrentSession() {
    return DiagnosticLogger::shared().exportCurrentSession(&askForExportDestination);
}
