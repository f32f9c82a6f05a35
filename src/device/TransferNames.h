// The hidden names a transfer's copies wait under next to their destination. They carry
// ".afm-" so that leftovers of a process that died mid-transfer can be recognised.
#pragma once

#include <QString>
#include <QUuid>

// A fresh identifier for one file's copy, upper-case with hyphens.
inline QString newTransferIdentifier() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

inline QString transferName(const QString& identifier) {
    return QStringLiteral(".afm-transfer-") + identifier;
}

inline QString partialName(const QString& fileName, const QString& identifier) {
    return QLatin1Char('.') + fileName + QStringLiteral(".afm-partial-") + identifier;
}

inline QString backupName(const QString& identifier) {
    return QStringLiteral(".afm-backup-") + identifier;
}
