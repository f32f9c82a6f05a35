// Conversions to Exif value forms: degree triples, rationals, dates and UTC offsets.
#include "ExifValues.h"

#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

TEST(ExifValues, DegreesBecomeDegreesMinutesAndThousandthsOfSeconds) {
    const struct {
        double degrees;
        std::uint32_t whole, minutes, thousandthsOfSeconds;
        const char* why;
    } cases[] = {
        {55.753930, 55, 45, 14148, "Moscow"},
        {-74.044502, 74, 2, 40207, "a west longitude keeps its magnitude; the sign is the Ref"},
        {-33.856784, 33, 51, 24422, "a south latitude"},
        {0.0, 0, 0, 0, "the equator"},
        {59.99999999, 60, 0, 0, "rounding carries into minutes and degrees, never 60 seconds"},
        {180.0, 180, 0, 0, "the antimeridian"},
    };
    for (const auto& sample : cases) {
        const auto triple = exifDegrees(sample.degrees);
        ASSERT_EQ(triple.size(), 3u) << sample.why;
        EXPECT_EQ(triple[0].numerator, sample.whole) << sample.why;
        EXPECT_EQ(triple[0].denominator, 1u) << sample.why;
        EXPECT_EQ(triple[1].numerator, sample.minutes) << sample.why;
        EXPECT_EQ(triple[2].numerator, sample.thousandthsOfSeconds) << sample.why;
        EXPECT_EQ(triple[2].denominator, 1000u) << sample.why;
    }
}

TEST(ExifValues, RationalsRoundToTheDenominator) {
    EXPECT_EQ(exifRational(1.68, 100).numerator, 168u);
    EXPECT_EQ(exifRational(6.9, 100).numerator, 690u);
    EXPECT_EQ(exifRational(145.0, 10).numerator, 1450u);
    EXPECT_EQ(exifRational(145.0, 10).denominator, 10u);
}

TEST(ExifValues, DatesAreLocalAndOffsetsSigned) {
    const struct {
        int offsetSeconds;
        const char* dateTime;
        const char* offset;
    } cases[] = {
        {3 * 3600, "2023:05:09 10:15:42", "+03:00"},
        {-4 * 3600, "2023:05:09 10:15:42", "-04:00"},
        {5 * 3600 + 1800, "2023:05:09 10:15:42", "+05:30"},
        {-(9 * 3600 + 1800), "2023:05:09 10:15:42", "-09:30"},
        {0, "2023:05:09 10:15:42", "+00:00"},
    };
    for (const auto& sample : cases) {
        const QDateTime time(QDate(2023, 5, 9), QTime(10, 15, 42), QTimeZone(sample.offsetSeconds));
        EXPECT_EQ(exifDateTime(time), sample.dateTime) << sample.offset;
        EXPECT_EQ(exifUtcOffset(time), sample.offset) << sample.offset;
    }
}

} // namespace
