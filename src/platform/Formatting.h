// Byte counts and dates as the system shows them: in the system's locale, whatever the
// interface language.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// A file size in decimal units ("1.2 MB"): whole bytes and kilobytes, up to one decimal for
// megabytes and two beyond, trailing zeros dropped.
QString formatByteCount(qint64 byteCount, const QLocale& locale = QLocale::system());

// A date in the locale's abbreviated style with a short time ("Jan 5, 2024, 3:04 PM",
// "5 янв. 2024 г., 15:04"); empty for an invalid date.
QString formatAbbreviatedDateTime(const QDateTime& dateTime,
                                  const QLocale& locale = QLocale::system());
