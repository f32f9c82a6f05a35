// Byte counts and dates in the system style, checked in fixed locales so the expectations
// do not depend on the machine running the tests.
#include "Formatting.h"

#include <gtest/gtest.h>

#include <limits>

TEST(Formatting, byteCountsReadLikeFileSizes) {
    const QLocale english(QStringLiteral("en_US"));
    const QLocale russian(QStringLiteral("ru_RU"));
    struct Case {
        qint64 bytes;
        const QLocale& locale;
        const char* expected;
    };
    const Case cases[] = {
        {0, english, "0 bytes"},
        {999, english, "999 bytes"},
        {1000, english, "1 kB"},
        // Kilobytes are whole.
        {1500, english, "2 kB"},
        // Rounding up to 1,000 of a unit moves to the next unit.
        {999'999, english, "1 MB"},
        {999'960'000, english, "1 GB"},
        {1'000'000, english, "1 MB"},
        {1'234'567, english, "1.2 MB"},
        {1'250'000'000, english, "1.25 GB"},
        // Trailing zeros are dropped.
        {1'200'000'000, english, "1.2 GB"},
        {5'000'000'000, english, "5 GB"},
        {-1500, english, "-2 kB"},
        {std::numeric_limits<qint64>::max(), english, "9.22 EB"},
        {std::numeric_limits<qint64>::min(), english, "-9.22 EB"},
        {1'234'567, russian, "1,2 МБ"},
        {1'250'000'000, russian, "1,25 ГБ"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(formatByteCount(c.bytes, c.locale), QString::fromUtf8(c.expected));
    }
}

TEST(Formatting, abbreviatedDateWithShortTime) {
    const QDateTime afternoon(QDate(2024, 1, 5), QTime(15, 4, 59));
    struct Case {
        const char* locale;
        const char* expected;
    };
    const Case cases[] = {
        {"en_US", "Jan 5, 2024, 3:04\u202fPM"},
        {"ru_RU", "5 янв. 2024 г., 15:04"},
        {"de_DE", "5. Jan. 2024, 15:04"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        const QString text = formatAbbreviatedDateTime(afternoon, QLocale(c.locale));
        // Some locale data separate the time and the day period with a narrow space.
        EXPECT_EQ(QString(text).replace(QChar(0x202f), QChar(' ')),
                  QString::fromUtf8(c.expected).replace(QChar(0x202f), QChar(' ')));
    }
}

TEST(Formatting, invalidDateGivesNoText) {
    EXPECT_EQ(formatAbbreviatedDateTime(QDateTime(), QLocale(QStringLiteral("en_US"))), QString());
}
