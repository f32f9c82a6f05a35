// One line of the diagnostic session log: time, event name and cleaned, sorted fields.
#pragma once

#include <QDateTime>
#include <QMap>
#include <QString>

using DiagnosticFields = QMap<QString, QString>;

// Longest value the log keeps, in user-perceived characters.
inline constexpr int diagnosticValueLength = 160;

// A value safe for one `key=value` token: no line breaks, no "=", at most 160 characters.
QString cleanDiagnosticValue(const QString& value);

// "2024-05-01T12:34:56Z browser.loaded item_count=42 location=photos\n"
QString formatDiagnosticLine(const QDateTime& time, const QString& event,
                             const DiagnosticFields& fields);
