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

// File systems on both sides allow 255 bytes per name: the file's name is shortened, at a
// character boundary, so that the copy of a long-named file still gets a place to land.
inline QString partialName(const QString& fileName, const QString& identifier) {
    constexpr qsizetype longestName = 255;
    const QString suffix = QStringLiteral(".afm-partial-") + identifier;
    QString kept = fileName;
    while (1 + kept.toUtf8().size() + suffix.size() > longestName) {
        kept.chop(kept.size() >= 2 && kept.back().isLowSurrogate() ? 2 : 1);
    }
    return QLatin1Char('.') + kept + suffix;
}

inline QString backupName(const QString& identifier) {
    return QStringLiteral(".afm-backup-") + identifier;
}
