#include "DiagnosticSessionFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

QString sessionFileName(const QDateTime& time, const QUuid& uuid) {
    const QString uuidText = uuid.toString(QUuid::WithoutBraces).toUpper();
    return QStringLiteral("session-%1-%2.log").arg(time.toSecsSinceEpoch()).arg(uuidText.left(8));
}

QStringList entriesToPrune(QList<DiagnosticDirectoryEntry> entries, qsizetype keepCount,
                           const QString& protectedName) {
    // Between entries of the same age, or of no known age, the later name goes first: session
    // names start with their second of creation, so on a file system that keeps no creation
    // dates the newest sessions survive rather than the oldest.
    std::sort(entries.begin(), entries.end(),
              [](const DiagnosticDirectoryEntry& a, const DiagnosticDirectoryEntry& b) {
                  if (a.createdAt.isValid() != b.createdAt.isValid()) {
                      return a.createdAt.isValid();
                  }
                  if (a.createdAt != b.createdAt) {
                      return a.createdAt > b.createdAt;
                  }
                  return a.name > b.name;
              });
    // Some Linux file systems keep no creation date; the file being written must survive
    // even when its age cannot be told, so it takes one of the places to keep.
    const auto current =
        std::find_if(entries.begin(), entries.end(), [&](const DiagnosticDirectoryEntry& entry) {
            return entry.name == protectedName;
        });
    if (current != entries.end()) {
        std::rotate(entries.begin(), current, current + 1);
    }
    QStringList doomed;
    for (qsizetype index = std::max<qsizetype>(keepCount, 0); index < entries.size(); ++index) {
        doomed.append(entries.at(index).name);
    }
    return doomed;
}

void pruneDiagnosticDirectory(const QString& directory, qsizetype keepCount,
                              const QString& protectedName) {
    const QDir dir(directory);
    const QFileInfoList infos =
        dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
    if (infos.isEmpty()) {
        return;
    }
    QList<DiagnosticDirectoryEntry> entries;
    for (const QFileInfo& info : infos) {
        entries.append({info.fileName(), info.birthTime()});
    }
    for (const QString& name : entriesToPrune(entries, keepCount, protectedName)) {
        const QFileInfo info(dir.filePath(name));
        if (info.isDir() && !info.isSymLink()) {
            QDir(info.filePath()).removeRecursively();
        } else {
            QFile::remove(info.filePath());
        }
    }
}
