// The one rule for a finished adb run whose exit status matters: anything but 0 fails the
// operation with the tool's own words.
#pragma once

#include "ADBCommandResult.h"

#include <QString>

// Standard error when it has text, else standard output, else empty; untrimmed.
QString commandFailureMessage(const ADBCommandResult& result);

// Throws DeviceRepositoryError::commandFailed for a non-zero exit status.
void checkStatus(const ADBCommandResult& result);
