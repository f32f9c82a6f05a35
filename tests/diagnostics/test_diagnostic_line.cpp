// Formatting of one log line: time, event, sorted fields and cleaned values.
#include "DiagnosticLine.h"

#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

const QDateTime eventTime = QDateTime(QDate(2024, 5, 1), QTime(12, 34, 56, 789), Qt::UTC);

struct CleaningCase {
    const char* reason;
    QString value;
    QString expected;
};

class DiagnosticValueCleaning : public testing::TestWithParam<CleaningCase> {};

TEST_P(DiagnosticValueCleaning, MakesOneSafeToken) {
    EXPECT_EQ(cleanDiagnosticValue(GetParam().value), GetParam().expected);
}

const QString cyrillic200 = QString(200, QChar(0x0416));
const QString emoji = QString::fromUtf8("\xF0\x9F\x93\xB7"); // one character, two UTF-16 units

INSTANTIATE_TEST_SUITE_P(
    Values, DiagnosticValueCleaning,
    testing::Values(CleaningCase{"plain_value_unchanged", "photos", "photos"},
                    CleaningCase{"empty_value_stays_empty", "", ""},
                    CleaningCase{"equals_and_line_feed", "x=y\nz", "x-y z"},
                    CleaningCase{"carriage_return_and_crlf", "a\rb\r\nc", "a b  c"},
                    CleaningCase{"every_equals_sign", "==a==", "--a--"},
                    CleaningCase{"cut_to_160", QString(200, 'a'), QString(160, 'a')},
                    CleaningCase{"exactly_160_kept", QString(160, 'b'), QString(160, 'b')},
                    CleaningCase{"cyrillic_counts_letters", cyrillic200,
                                 QString(160, QChar(0x0416))},
                    CleaningCase{"surrogate_pair_never_split", QString(159, 'a') + emoji + emoji,
                                 QString(159, 'a') + emoji},
                    CleaningCase{"accent_stays_with_letter", QString(159, 'a') + "e\u0301" + "z",
                                 QString(159, 'a') + "e\u0301"},
                    CleaningCase{"cleaning_before_cutting", QString(159, 'a') + "=\n",
                                 QString(159, 'a') + "-"}),
    [](const testing::TestParamInfo<CleaningCase>& info) { return info.param.reason; });

struct LineCase {
    const char* reason;
    QString event;
    DiagnosticFields fields;
    QString expected;
};

class DiagnosticLineFormat : public testing::TestWithParam<LineCase> {};

TEST_P(DiagnosticLineFormat, WritesOneLine) {
    EXPECT_EQ(formatDiagnosticLine(eventTime, GetParam().event, GetParam().fields),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DiagnosticLineFormat,
    testing::Values(
        LineCase{"no_fields_no_trailing_space",
                 "application.launched",
                 {},
                 "2024-05-01T12:34:56Z application.launched\n"},
        LineCase{"fields_sorted_by_key",
                 "browser.loaded",
                 {{"location", "photos"}, {"item_count", "42"}},
                 "2024-05-01T12:34:56Z browser.loaded item_count=42 location=photos\n"},
        LineCase{"ordinal_order_not_natural",
                 "e",
                 {{"b", "2"}, {"a", "1"}, {"a_b", "3"}, {"B", "4"}},
                 "2024-05-01T12:34:56Z e B=4 a=1 a_b=3 b=2\n"},
        LineCase{"values_cleaned_keys_as_given",
                 "e",
                 {{"error", "x=y\nz"}},
                 "2024-05-01T12:34:56Z e error=x-y z\n"},
        LineCase{"empty_value_kept", "e", {{"model", ""}}, "2024-05-01T12:34:56Z e model=\n"}),
    [](const testing::TestParamInfo<LineCase>& info) { return info.param.reason; });

TEST(DiagnosticLineTime, IsWrittenInUniversalTimeToWholeSeconds) {
    const QDateTime moscow(QDate(2024, 5, 1), QTime(15, 34, 56, 999), QTimeZone("Europe/Moscow"));
    EXPECT_EQ(formatDiagnosticLine(moscow, "e", {}), "2024-05-01T12:34:56Z e\n");
}

} // namespace
