// Start-up check that the bundle's adb is present, executable and has the digest the
// bundle records for it.
#pragma once

#include "AppBundle.h"

#include <QString>
#include <variant>

enum class ADBIntegrityFailure { integrityDataMissing, executableMissing, notExecutable, checksumMismatch };

// The code the failure screen shows ("ADB_CHECKSUM_MISMATCH").
QString diagnosticCode(ADBIntegrityFailure failure);

struct ADBIntegrityValid {
    bool operator==(const ADBIntegrityValid&) const = default;
};
using ADBIntegrityResult = std::variant<ADBIntegrityFailure, ADBIntegrityValid>;

class ADBIntegrityChecking {
public:
    virtual ~ADBIntegrityChecking() = default;
    // Blocking: reads and hashes the executable. Callers run it off the main thread.
    virtual ADBIntegrityResult verify() const = 0;
};

class ADBIntegrityChecker final : public ADBIntegrityChecking {
public:
    explicit ADBIntegrityChecker(const AppBundle& bundle);

    ADBIntegrityResult verify() const override;

    const QString& executablePath() const { return executablePath_; }
    // Empty when the bundle has no digest resource.
    const QString& checksumPath() const { return checksumPath_; }

private:
    QString executablePath_;
    QString checksumPath_;
};
