// Naming and pruning of the session files in the diagnostic log directory.
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QUuid>

// "session-1733760123-9F1C2A7B.log": seconds since 1970 and the head of a random UUID.
QString sessionFileName(const QDateTime& time, const QUuid& uuid);

struct DiagnosticDirectoryEntry {
    QString name;
    QDateTime createdAt; // invalid when the file system keeps no creation date
};

// Names of the entries beyond the `keepCount` newest by creation date; an entry without a
// creation date counts as the oldest. `protectedName` (the file being written) is never among them.
QStringList entriesToPrune(QList<DiagnosticDirectoryEntry> entries, qsizetype keepCount,
                           const QString& protectedName);

// Deletes from `directory` every non-hidden entry beyond the `keepCount` newest.
// Listing or deletion failures are ignored: pruning must never disturb logging.
void pruneDiagnosticDirectory(const QString& directory, qsizetype keepCount,
                              const QString& protectedName);
