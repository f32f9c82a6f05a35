// Session file names and which entries pruning removes from the log directory.
#include "DiagnosticSessionFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

TEST(SessionFileName, SecondsSinceEpochAndUpperCaseUuidHead) {
    const QDateTime time = QDateTime::fromSecsSinceEpoch(1733760123, Qt::UTC).addMSecs(999);
    const QUuid uuid("{9f1c2a7b-0000-4000-8000-000000000000}");
    EXPECT_EQ(sessionFileName(time, uuid), "session-1733760123-9F1C2A7B.log");
}

TEST(SessionFileName, LocalTimeGivesTheSameSeconds) {
    const QDateTime utc = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC);
    const QUuid uuid = QUuid::createUuid();
    EXPECT_EQ(sessionFileName(utc.toTimeZone(QTimeZone("Asia/Tokyo")), uuid),
              sessionFileName(utc, uuid));
}

QDateTime at(int second) {
    return QDateTime::fromSecsSinceEpoch(1'700'000'000 + second, Qt::UTC);
}

struct PruneCase {
    const char* reason;
    QList<DiagnosticDirectoryEntry> entries;
    QString current;
    QStringList expected;
};

class PruneSelection : public testing::TestWithParam<PruneCase> {};

TEST_P(PruneSelection, KeepsTheFiveNewest) {
    QStringList doomed = entriesToPrune(GetParam().entries, 5, GetParam().current);
    doomed.sort();
    EXPECT_EQ(doomed, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, PruneSelection,
    testing::Values(
        PruneCase{"five_entries_all_kept",
                  {{"a", at(1)}, {"b", at(2)}, {"c", at(3)}, {"d", at(4)}, {"e", at(5)}},
                  "e",
                  {}},
        PruneCase{
            "six_entries_oldest_goes",
            {{"n", at(6)}, {"m", at(2)}, {"o", at(1)}, {"p", at(3)}, {"q", at(4)}, {"r", at(5)}},
            "n",
            {"o"}},
        PruneCase{"undated_entry_goes_first",
                  {{"old", at(1)},
                   {"undated", {}},
                   {"b", at(2)},
                   {"c", at(3)},
                   {"d", at(4)},
                   {"cur", at(5)}},
                  "cur",
                  {"undated"}},
        PruneCase{"any_name_counts",
                  {{"notes.txt", at(1)},
                   {"s1", at(2)},
                   {"s2", at(3)},
                   {"s3", at(4)},
                   {"s4", at(5)},
                   {"s5", at(6)},
                   {"s6", at(7)}},
                  "s6",
                  {"notes.txt", "s1"}},
        PruneCase{"current_survives_without_creation_dates",
                  {{"a", {}}, {"b", {}}, {"c", {}}, {"d", {}}, {"e", {}}, {"cur", {}}},
                  "cur",
                  {"a"}},
        // Without creation dates the names tell the age: the earliest sessions go, not the
        // one the user may want to report after a crash.
        PruneCase{"undated_sessions_keep_the_latest_names",
                  {{"session-1700000001-AAAAAAAA.log", {}},
                   {"session-1700000002-BBBBBBBB.log", {}},
                   {"session-1700000003-CCCCCCCC.log", {}},
                   {"session-1700000004-DDDDDDDD.log", {}},
                   {"session-1700000005-EEEEEEEE.log", {}},
                   {"session-1700000006-FFFFFFFF.log", {}},
                   {"session-1700000007-00000000.log", {}}},
                  "session-1700000007-00000000.log",
                  {"session-1700000001-AAAAAAAA.log", "session-1700000002-BBBBBBBB.log"}},
        PruneCase{
            "current_survives_when_dated_older",
            {{"cur", at(1)}, {"b", at(2)}, {"c", at(3)}, {"d", at(4)}, {"e", at(5)}, {"f", at(6)}},
            "cur",
            {"b"}}),
    [](const testing::TestParamInfo<PruneCase>& info) { return info.param.reason; });

class PruneDirectory : public testing::Test {
protected:
    void create(const QString& name) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        // Creation dates come from a coarse kernel clock; spacing keeps them distinct.
        QThread::msleep(15);
    }
    QStringList names() const {
        return QDir(dir.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
    void requireCreationDates() {
        if (!QFileInfo(dir.path()).birthTime().isValid()) {
            GTEST_SKIP() << "this file system keeps no creation dates";
        }
    }

    QTemporaryDir dir;
};

TEST_F(PruneDirectory, DeletesOldestEntriesOfAnyKindAndSkipsHiddenOnes) {
    requireCreationDates();
    create("oldest.log");
    ASSERT_TRUE(QDir(dir.path()).mkpath("old-folder/inner"));
    QThread::msleep(15);
    create(".hidden");
    for (const char* name : {"s1.log", "s2.log", "s3.log", "s4.log", "current.log"}) {
        create(name);
    }
    pruneDiagnosticDirectory(dir.path(), 5, "current.log");
    EXPECT_EQ(names(),
              (QStringList{".hidden", "current.log", "s1.log", "s2.log", "s3.log", "s4.log"}));
}

TEST_F(PruneDirectory, MissingDirectoryIsLeftAlone) {
    const QString missing = dir.filePath("missing");
    pruneDiagnosticDirectory(missing, 5, "current.log");
    EXPECT_FALSE(QFileInfo::exists(missing));
}

} // namespace
