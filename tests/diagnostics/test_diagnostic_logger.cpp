// The session log on disk: the first line, appending, rotation, pruning and unwritable folders.
#include "DiagnosticLogger.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

class DiagnosticLoggerFiles : public testing::Test {
protected:
    QString logDirectory() const { return root.filePath("Diagnostics"); }

    std::unique_ptr<DiagnosticLogger> makeLogger(const DiagnosticFields& sessionFields = {}) {
        return std::make_unique<DiagnosticLogger>(logDirectory(), sessionFields,
                                                  [this] { return now; });
    }

    QStringList sessionFiles() const {
        return QDir(logDirectory()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    static QStringList lines(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        QStringList result = QString::fromUtf8(file.readAll()).split('\n');
        EXPECT_EQ(result.takeLast(), QString()) << "every line ends with a line feed";
        return result;
    }

    static void growTo(const QString& path, qint64 size) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::Append));
        ASSERT_LE(file.size(), size);
        file.write(QByteArray(size - file.size(), 'x'));
    }

    QTemporaryDir root;
    QDateTime now = QDateTime(QDate(2024, 5, 1), QTime(12, 34, 56), Qt::UTC);
};

TEST_F(DiagnosticLoggerFiles, SessionStartsWithItsOwnFileAndFirstLine) {
    auto logger = makeLogger({{"app_version", "1.7"}, {"adb_version", "34.0.4"}});
    logger->log("application.launched");

    ASSERT_EQ(sessionFiles().size(), 1);
    EXPECT_EQ(QFileInfo(logger->currentLogPath()).fileName(), sessionFiles().first());
    EXPECT_TRUE(QRegularExpression("^session-1714566896-[0-9A-F]{8}\\.log$")
                    .match(sessionFiles().first())
                    .hasMatch());
    EXPECT_EQ(
        lines(logger->currentLogPath()),
        (QStringList{"2024-05-01T12:34:56Z session.started adb_version=34.0.4 app_version=1.7",
                     "2024-05-01T12:34:56Z application.launched"}));
}

TEST_F(DiagnosticLoggerFiles, EachLaunchWritesANewFileAndKeepsTheOldOne) {
    const QString firstPath = makeLogger()->currentLogPath();
    auto second = makeLogger();
    second->log("application.launched");

    EXPECT_NE(second->currentLogPath(), firstPath);
    EXPECT_EQ(lines(firstPath), QStringList{"2024-05-01T12:34:56Z session.started"});
    EXPECT_EQ(lines(second->currentLogPath()).size(), 2);
}

TEST_F(DiagnosticLoggerFiles, EventsAreOnDiskWhenLogReturns) {
    auto logger = makeLogger();
    now = now.addSecs(61);
    logger->log("browser.loaded", {{"location", "photos"}, {"item_count", "3"}});
    EXPECT_EQ(lines(logger->currentLogPath()).last(),
              "2024-05-01T12:35:57Z browser.loaded item_count=3 location=photos");
}

struct RotationCase {
    const char* reason;
    qint64 sizeBeforeEvent;
    bool rotates;
};

class DiagnosticLoggerRotation : public DiagnosticLoggerFiles,
                                 public testing::WithParamInterface<RotationCase> {};

TEST_P(DiagnosticLoggerRotation, StartsANewFileOnceTheLimitIsReached) {
    auto logger = makeLogger();
    const QString firstPath = logger->currentLogPath();
    growTo(firstPath, GetParam().sizeBeforeEvent);

    logger->log("transfer.started", {{"direction", "upload"}});

    if (GetParam().rotates) {
        EXPECT_NE(logger->currentLogPath(), firstPath);
        EXPECT_EQ(QFileInfo(firstPath).size(), GetParam().sizeBeforeEvent);
        EXPECT_EQ(lines(logger->currentLogPath()),
                  QStringList{"2024-05-01T12:34:56Z transfer.started direction=upload"})
            << "a rotated file begins with the event itself, without session.started";
    } else {
        EXPECT_EQ(logger->currentLogPath(), firstPath);
        EXPECT_GT(QFileInfo(firstPath).size(), qint64(DiagnosticLogger::maximumFileSize))
            << "the size is tested before the line, so one line may cross the limit";
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, DiagnosticLoggerRotation,
                         testing::Values(RotationCase{"one_byte_below_the_limit", 1'048'575, false},
                                         RotationCase{"exactly_at_the_limit", 1'048'576, true},
                                         RotationCase{"beyond_the_limit", 2'000'000, true}),
                         [](const testing::TestParamInfo<RotationCase>& info) {
                             return info.param.reason;
                         });

TEST_F(DiagnosticLoggerFiles, RotationKeepsFiveFilesAndTheCurrentOne) {
    if (!QFileInfo(root.path()).birthTime().isValid()) {
        GTEST_SKIP() << "this file system keeps no creation dates";
    }
    auto logger = makeLogger();
    QStringList written{QFileInfo(logger->currentLogPath()).fileName()};
    for (int rotation = 0; rotation < 6; ++rotation) {
        // Creation dates come from a coarse kernel clock; spacing keeps them distinct.
        QThread::msleep(15);
        growTo(logger->currentLogPath(), DiagnosticLogger::maximumFileSize);
        logger->log("tick");
        written.append(QFileInfo(logger->currentLogPath()).fileName());
    }
    QStringList newestFive = written.mid(2);
    newestFive.sort();
    EXPECT_EQ(sessionFiles(), newestFive);
}

TEST_F(DiagnosticLoggerFiles, UnwritableDirectoryDropsLinesWithoutFailing) {
    // A regular file where the folder should be: creation fails even for root.
    QFile blocker(logDirectory());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    auto logger = makeLogger();
    logger->log("application.launched", {{"a", "1"}});
    EXPECT_FALSE(QFileInfo::exists(logger->currentLogPath()));

    // Once the folder can be written, the next event gets through.
    ASSERT_TRUE(QFile::remove(logDirectory()));
    ASSERT_TRUE(QDir().mkpath(logDirectory()));
    logger->log("connection.wifi_started");
    EXPECT_EQ(lines(logger->currentLogPath()),
              QStringList{"2024-05-01T12:34:56Z connection.wifi_started"});
}

TEST(DiagnosticsDirectory, LivesUnderApplicationSupportOfTheDataHome) {
    QTemporaryDir home;
    const bool wasSet = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    EXPECT_EQ(diagnosticsDirectory(), home.filePath("app.pavrel.Pavrel/Diagnostics"));
    wasSet ? qputenv("XDG_DATA_HOME", saved) : qunsetenv("XDG_DATA_HOME");
}

} // namespace
