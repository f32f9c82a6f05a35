// Exporting the current session: the copy, the events it writes and the messages it leaves.
#include "AppLanguageManager.h"
#include "DiagnosticExport.h"
#include "DiagnosticLogger.h"
#include "FreshPreferences.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class DiagnosticExportRun : public testing::Test {
protected:
    DiagnosticExportRun()
        : logger(root.filePath("Diagnostics"), {{"app_version", "1.2"}},
                 [] { return QDateTime(QDate(2024, 5, 1), QTime(12, 34, 56), Qt::LocalTime); }) {}

    // The chooser the export asks; records the suggestion and answers with `answer`.
    DiagnosticLogger::ExportDestinationChooser answering(const QString& answer) {
        return [this, answer](const QString& suggested) {
            suggestions.append(suggested);
            return answer;
        };
    }

    QTemporaryDir root;
    DiagnosticLogger logger;
    QStringList suggestions;
};

TEST_F(DiagnosticExportRun, SavesTheSessionSoFarThenLogsTheExport) {
    logger.log("application.launched");
    const QByteArray before = contentsOf(logger.currentLogPath());
    const QString destination = root.filePath("report.log");

    EXPECT_EQ(logger.exportCurrentSession(answering(destination)), DiagnosticExportOutcome::saved);

    EXPECT_EQ(suggestions, QStringList{"Pavrel-Diagnostics-2024-05-01-123456.log"});
    EXPECT_EQ(contentsOf(destination), before);
    EXPECT_EQ(
        contentsOf(logger.currentLogPath()),
        before + "2024-05-01T" +
            QDateTime(QDate(2024, 5, 1), QTime(12, 34, 56)).toUTC().toString("HH:mm:ss").toUtf8() +
            "Z diagnostics.exported\n");
}

TEST_F(DiagnosticExportRun, ReplacesAnExistingFileWhole) {
    const QString destination = root.filePath("report.log");
    QFile old(destination);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100'000, 'o'));
    old.close();

    const QByteArray session = contentsOf(logger.currentLogPath());
    EXPECT_EQ(logger.exportCurrentSession(answering(destination)), DiagnosticExportOutcome::saved);
    EXPECT_EQ(contentsOf(destination), session);
}

TEST_F(DiagnosticExportRun, CancellingWritesNothing) {
    const QByteArray before = contentsOf(logger.currentLogPath());
    EXPECT_EQ(logger.exportCurrentSession(answering(QString())),
              DiagnosticExportOutcome::cancelled);
    EXPECT_EQ(contentsOf(logger.currentLogPath()), before);
    EXPECT_EQ(QDir(root.path()).entryList(QDir::Files), QStringList());
}

TEST_F(DiagnosticExportRun, UnwritableDestinationLogsTheFailure) {
    EXPECT_EQ(logger.exportCurrentSession(answering(root.filePath("missing/report.log"))),
              DiagnosticExportOutcome::failed);
    EXPECT_TRUE(contentsOf(logger.currentLogPath())
                    .endsWith(" diagnostics.export_failed error=write_failed\n"));
}

TEST_F(DiagnosticExportRun, SavingOverTheSessionFileKeepsLaterLines) {
    EXPECT_EQ(logger.exportCurrentSession(answering(logger.currentLogPath())),
              DiagnosticExportOutcome::saved);
    logger.log("application.launched");
    const QString written = QString::fromUtf8(contentsOf(logger.currentLogPath()));
    EXPECT_TRUE(written.contains(" diagnostics.exported\n"));
    EXPECT_TRUE(written.endsWith(" application.launched\n"));
}

TEST(DiagnosticExportUnreadableSession, FailsBeforeAskingAndLogsNothing) {
    QTemporaryDir root;
    QFile blocker(root.filePath("Diagnostics"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    DiagnosticLogger logger(root.filePath("Diagnostics"), {});

    bool asked = false;
    EXPECT_EQ(logger.exportCurrentSession([&](const QString&) {
        asked = true;
        return root.filePath("report.log");
    }),
              DiagnosticExportOutcome::failed);
    EXPECT_FALSE(asked);
    EXPECT_EQ(contentsOf(root.filePath("Diagnostics")), QByteArray());
}

struct MessageCase {
    const char* reason;
    AppLanguage language;
    DiagnosticExportOutcome outcome;
    QString message;
};

class DiagnosticExportMessage : public testing::TestWithParam<MessageCase> {
protected:
    FreshPreferences preferences;
};

TEST_P(DiagnosticExportMessage, SpeaksTheInterfaceLanguage) {
    AppLanguageManager::shared().setCurrent(GetParam().language);
    EXPECT_EQ(diagnosticExportMessage(GetParam().outcome), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, DiagnosticExportMessage,
    testing::Values(MessageCase{"saved_english", AppLanguage::english,
                                DiagnosticExportOutcome::saved, "Diagnostic report saved."},
                    MessageCase{"saved_russian", AppLanguage::russian,
                                DiagnosticExportOutcome::saved, "Диагностический отчёт сохранён."},
                    MessageCase{"failed_english", AppLanguage::english,
                                DiagnosticExportOutcome::failed,
                                "Could not save the diagnostic report."},
                    MessageCase{"failed_russian", AppLanguage::russian,
                                DiagnosticExportOutcome::failed,
                                "Не удалось сохранить диагностический отчёт."},
                    MessageCase{"cancelled_shows_nothing", AppLanguage::english,
                                DiagnosticExportOutcome::cancelled, QString()}),
    [](const testing::TestParamInfo<MessageCase>& info) { return info.param.reason; });

TEST(SuggestedExportFileName, UsesTheLocalDateAndTime) {
    const QDateTime local(QDate(2024, 12, 31), QTime(23, 5, 9), Qt::LocalTime);
    EXPECT_EQ(suggestedExportFileName(local), "Pavrel-Diagnostics-2024-12-31-230509.log");
    EXPECT_EQ(suggestedExportFileName(local.toUTC()), "Pavrel-Diagnostics-2024-12-31-230509.log");
}

} // namespace
