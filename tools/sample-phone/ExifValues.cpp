#include "ExifValues.h"

#include <cmath>

ExifRational exifRational(double value, std::uint32_t denominator) {
    return {static_cast<std::uint32_t>(std::llround(value * denominator)), denominator};
}

std::vector<ExifRational> exifDegrees(double degrees) {
    // Whole thousandths of a second first, so that rounding never yields 60 seconds.
    const long long thousandths = std::llround(std::abs(degrees) * 3600.0 * 1000.0);
    const auto whole = static_cast<std::uint32_t>(thousandths / 3600000);
    const auto minutes = static_cast<std::uint32_t>((thousandths / 60000) % 60);
    const auto seconds = static_cast<std::uint32_t>(thousandths % 60000);
    return {{whole, 1}, {minutes, 1}, {seconds, 1000}};
}

QString exifDateTime(const QDateTime& time) {
    return time.toString("yyyy:MM:dd HH:mm:ss");
}

QString exifUtcOffset(const QDateTime& time) {
    const int minutes = time.offsetFromUtc() / 60;
    return QStringLiteral("%1%2:%3")
        .arg(minutes < 0 ? '-' : '+')
        .arg(std::abs(minutes) / 60, 2, 10, QLatin1Char('0'))
        .arg(std::abs(minutes) % 60, 2, 10, QLatin1Char('0'));
}
