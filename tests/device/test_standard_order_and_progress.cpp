// The order names are shown in, and the reading of adb's percentage text.
#include "ADBTransferProgressParser.h"
#include "StandardOrder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

QStringList sortedNames(QStringList names) {
    const StandardOrder order;
    std::sort(names.begin(), names.end(),
              [&](const QString& a, const QString& b) { return order.lessThan(a, b); });
    return names;
}

} // namespace

TEST(StandardOrder, comparesNumbersByValueAndLettersWithoutCase) {
    struct Case {
        const char* reason;
        QStringList input;
        QStringList expected;
    };
    const Case cases[] = {
        {"numbers by value, case ignored",
         {"Track 10.mp3", "track 2.mp3", "Albums"},
         {"Albums", "track 2.mp3", "Track 10.mp3"}},
        {"longer numbers", {"img100", "img20", "IMG3"}, {"IMG3", "img20", "img100"}},
        {"names equal but for case keep one fixed order whatever the input",
         {"file", "File", "FILE"},
         sortedNames({"FILE", "file", "File"})},
        {"Cyrillic in alphabet order", {"Яблоко", "арбуз", "Банан"}, {"арбуз", "Банан", "Яблоко"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        EXPECT_EQ(sortedNames(c.input), c.expected);
    }
}

namespace {

QList<TransferProgress> reportsFor(const QStringList& chunks) {
    QList<TransferProgress> reports;
    ADBTransferProgressParser parser([&](const TransferProgress& p) { reports.append(p); });
    for (const QString& chunk : chunks) {
        parser.feed(chunk);
    }
    return reports;
}

TransferProgress report(double fraction, std::optional<QString> name = std::nullopt) {
    return {fraction, std::move(name)};
}

} // namespace

TEST(ADBTransferProgressParser, readsTheLastPercentageOfTheChunksSoFar) {
    struct Case {
        const char* reason;
        QStringList chunks;
        QList<TransferProgress> reports;
    };
    const Case cases[] = {
        {"a bracketed line with a path",
         {"[ 37%] /sdcard/DCIM/IMG_1.jpg"},
         {report(0.37, "IMG_1.jpg")}},
        {"complete", {"[100%] /sdcard/a.bin"}, {report(1, "a.bin")}},
        {"above 100 is clamped", {"[999%] /sdcard/a.bin"}, {report(1, "a.bin")}},
        {"no percent sign reports nothing", {"/sdcard/a.bin: 1 file pushed."}, {}},
        {"a line split between chunks", {"[ 4", "2%] /sdcard/x.mp4"}, {report(0.42, "x.mp4")}},
        {"the last of several lines wins",
         {"[  5%] /sdcard/x\r[ 17%] /sdcard/x\r[ 60%] /sdcard/y"},
         {report(0.6, "y")}},
        {"a bare percentage has no name", {"45%"}, {report(0.45)}},
        {"a percentage with spaces after it", {"[ 12%]   \n"}, {report(0.12)}},
        {"more than three digits take the last three", {"1234%"}, {report(1)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        EXPECT_EQ(reportsFor(c.chunks), c.reports);
    }
}

TEST(ADBTransferProgressParser, keepsOnlyTheRecentTextSoALongStreamStaysSmall) {
    QList<TransferProgress> reports;
    ADBTransferProgressParser parser([&](const TransferProgress& p) { reports.append(p); });
    parser.feed("[ 10%] /sdcard/a");
    parser.feed(QString(300, QLatin1Char('x')));
    // The old percentage scrolled out of the kept text, so the noise reports nothing.
    EXPECT_EQ(reports.size(), 1);
    parser.feed("\r[ 20%] /sdcard/a");
    ASSERT_EQ(reports.size(), 2);
    EXPECT_EQ(reports.last(), report(0.2, "a"));
}
