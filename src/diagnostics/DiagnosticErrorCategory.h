// Reduces an error to the fixed words the diagnostic log may carry: a safe category, the
// error's type name and, for storage shortfalls, the two byte counts.
#pragma once

#include "DiagnosticLine.h"

#include <QString>

#include <exception>

// The category of a text: one of four known messages of the current interface language, else
// the first of a fixed list of patterns contained in it (any letter case), else `fallback`.
QString messageCategory(const QString& message, const QString& fallback);

// cancelled, a DeviceRepositoryError case's category, or the message category of any other
// error's description ("unknown" when nothing matches or the error carries no text).
QString diagnosticErrorCategory(const std::exception_ptr& error);

// The error's class name without namespaces ("DeviceRepositoryError", "system_error").
QString diagnosticErrorTypeName(const std::exception_ptr& error);

// required_bytes and available_bytes of a storage shortfall; empty for any other error.
DiagnosticFields storageShortfallFields(const std::exception_ptr& error);
