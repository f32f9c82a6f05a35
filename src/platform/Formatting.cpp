#include "Formatting.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace {

constexpr int largestPower = 6; // exabytes: the largest unit a qint64 reaches

int decimalsForPower(int power) {
    if (power <= 1)
        return 0;
    return power == 2 ? 1 : 2;
}

double scaled(double magnitude, int power) {
    return magnitude / std::pow(1000.0, power);
}

// Fewer decimals where the dropped digits round to zero, so 1.0 MB reads "1 MB".
int significantDecimals(double value, int decimals) {
    while (decimals > 0) {
        const double shifted = std::round(value * std::pow(10.0, decimals));
        if (std::fmod(shifted, 10.0) != 0.0)
            break;
        --decimals;
    }
    return decimals;
}

} // namespace

QString formatByteCount(qint64 byteCount, const QLocale& locale) {
    // The magnitude of the smallest qint64 does not fit in a qint64.
    if (byteCount == std::numeric_limits<qint64>::min())
        byteCount += 1;
    const double magnitude = std::abs(static_cast<double>(byteCount));
    int power = 0;
    while (power < largestPower && magnitude >= std::pow(1000.0, power + 1))
        ++power;

    // 999,999 bytes rounds to 1,000 kB: show it as the next unit instead.
    int decimals = decimalsForPower(power);
    const double factor = std::pow(10.0, decimals);
    if (power > 0 && power < largestPower &&
        std::round(scaled(magnitude, power) * factor) / factor >= 1000.0) {
        ++power;
        const qint64 unit = static_cast<qint64>(std::pow(1000.0, power));
        byteCount = byteCount < 0 ? -unit : unit;
        return locale.formattedDataSize(byteCount, 0, QLocale::DataSizeSIFormat);
    }
    decimals = significantDecimals(scaled(magnitude, power), decimals);
    return locale.formattedDataSize(byteCount, decimals, QLocale::DataSizeSIFormat);
}

QString formatAbbreviatedDateTime(const QDateTime& dateTime, const QLocale& locale) {
    if (!dateTime.isValid())
        return {};
    // The locale's long date without the weekday and with the short month name is its
    // abbreviated date: "MMMM d, yyyy" → "MMM d, yyyy", "d MMMM yyyy 'г'." → "d MMM yyyy 'г'.".
    static const QRegularExpression weekday(QStringLiteral("dddd[,.]?\\s*|\\s*[,.]?\\s*dddd"));
    QString datePattern = locale.dateFormat(QLocale::LongFormat);
    datePattern.remove(weekday);
    datePattern.replace(QStringLiteral("MMMM"), QStringLiteral("MMM"));
    const QString date = locale.toString(dateTime.date(), datePattern.trimmed());
    const QString time = locale.toString(dateTime.time(), QLocale::ShortFormat);
    return date + QStringLiteral(", ") + time;
}
