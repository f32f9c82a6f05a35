#include "ADBIntegrityChecker.h"

#include "StrictUTF8.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

QString diagnosticCode(ADBIntegrityFailure failure) {
    switch (failure) {
    case ADBIntegrityFailure::integrityDataMissing:
        return QStringLiteral("ADB_INTEGRITY_DATA_MISSING");
    case ADBIntegrityFailure::executableMissing:
        return QStringLiteral("ADB_EXECUTABLE_MISSING");
    case ADBIntegrityFailure::notExecutable:
        return QStringLiteral("ADB_NOT_EXECUTABLE");
    case ADBIntegrityFailure::checksumMismatch:
        return QStringLiteral("ADB_CHECKSUM_MISMATCH");
    }
    Q_UNREACHABLE();
}

ADBIntegrityChecker::ADBIntegrityChecker(const AppBundle& bundle)
    : executablePath_(bundle.filePath(QStringLiteral("Contents/Helpers/adb"))),
      checksumPath_(
          bundle.resourcePath(QStringLiteral("adb-integrity"), QStringLiteral("sha256"))) {}

ADBIntegrityResult ADBIntegrityChecker::verify() const {
    if (checksumPath_.isEmpty()) {
        return ADBIntegrityFailure::integrityDataMissing;
    }
    QFile checksumFile(checksumPath_);
    if (!checksumFile.open(QIODevice::ReadOnly)) {
        return ADBIntegrityFailure::integrityDataMissing;
    }
    // Bytes that are not UTF-8 hold no digest to compare; they count as no data at all.
    const std::optional<QString> text = decodeStrictUTF8(checksumFile.readAll());
    if (!text) {
        return ADBIntegrityFailure::integrityDataMissing;
    }
    // The file holds the digest alone; "digest  name" deliberately does not match.
    const QString expected = text->trimmed();
    if (expected.isEmpty()) {
        return ADBIntegrityFailure::integrityDataMissing;
    }

    const QFileInfo info(executablePath_);
    if (!info.exists()) {
        return ADBIntegrityFailure::executableMissing;
    }
    if (!info.isFile() || !info.isExecutable()) {
        return ADBIntegrityFailure::notExecutable;
    }

    QFile executable(executablePath_);
    if (!executable.open(QIODevice::ReadOnly)) {
        return ADBIntegrityFailure::executableMissing;
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const qint64 size = executable.size();
    if (uchar* mapped = size > 0 ? executable.map(0, size) : nullptr) {
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(mapped), size));
        executable.unmap(mapped);
    } else if (!hash.addData(&executable)) {
        return ADBIntegrityFailure::executableMissing;
    }
    const QString actual = QString::fromLatin1(hash.result().toHex());
    if (expected.compare(actual, Qt::CaseInsensitive) != 0) {
        return ADBIntegrityFailure::checksumMismatch;
    }
    return ADBIntegrityValid{};
}
