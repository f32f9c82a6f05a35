// Decoding of adb's output bytes and reading of the numbers in it.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

// Absent when the bytes are not valid UTF-8.
std::optional<QString> decodedUTF8(const QByteArray& bytes);
// Invalid sequences become U+FFFD, so that one odd name cannot blank a whole listing.
QString decodedUTF8Lossy(const QByteArray& bytes);

// Decimal digits with an optional leading "+" or "-", nothing else, no surrounding spaces;
// absent on overflow.
std::optional<qint64> parseDecimalInteger(QStringView text);
// A finite decimal floating-point number without surrounding spaces.
std::optional<double> parseDecimalNumber(QStringView text);
// A kibibyte count as bytes; absent when it does not fit.
std::optional<qint64> kibibytesToBytes(qint64 kibibytes);
