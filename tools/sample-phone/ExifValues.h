// Conversions of photo facts to the value forms Exif stores (rationals, degree triples, dates),
// shared by the Exiv2 writer and our own DNG writer.
#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <vector>

struct ExifRational {
    std::uint32_t numerator = 0;
    std::uint32_t denominator = 1;
};

struct ExifSignedRational {
    std::int32_t numerator = 0;
    std::int32_t denominator = 1;
};

// `value` (not negative) rounded to a fraction with the given denominator.
ExifRational exifRational(double value, std::uint32_t denominator);

// |degrees| as degrees, minutes and seconds (to 1/1000 s); the sign goes in the Ref tag.
std::vector<ExifRational> exifDegrees(double degrees);

// "2023:05:09 10:15:42" — the local time, as Exif writes dates.
QString exifDateTime(const QDateTime& time);

// "+03:00" — the UTC offset of the local time.
QString exifUtcOffset(const QDateTime& time);
