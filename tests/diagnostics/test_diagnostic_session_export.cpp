// The export's save dialog over the shared log, driven the way a user would drive it.
#include "DiagnosticLogger.h"
#include "DiagnosticSessionExport.h"

#include <QApplication>
#include <QFileDialog>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

namespace {

QString dataHome;

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Waits for the modal save dialog, lets `answer` look at it and close it.
void whenDialogShows(std::function<void(QFileDialog&)> answer) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            answer(*dialog);
        }
    });
    poll->start(10);
}

TEST(SharedDiagnosticLogger, StartsInTheDataHomeWithSessionStarted) {
    DiagnosticLogger& logger = DiagnosticLogger::shared();
    EXPECT_EQ(logger.directoryPath(), dataHome + "/app.pavrel.Pavrel/Diagnostics");
    const QString firstLine =
        QString::fromUtf8(contentsOf(logger.currentLogPath())).section('\n', 0, 0);
    // This test program sits in no bundle, so the adb manifest is missing.
    EXPECT_TRUE(
        QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ session.started "
                           "adb_revision=unknown adb_version=unknown app_version=\\S+ macos=.+$")
            .match(firstLine)
            .hasMatch())
        << firstLine.toStdString();
}

class SessionExportDialog : public testing::Test {
protected:
    QTemporaryDir destinationFolder;
};

TEST_F(SessionExportDialog, SuggestsADatedNameAndSavesWhereTheUserChose) {
    const QString destination = destinationFolder.filePath("Отчёт 'за' май.log");
    QString suggested;
    whenDialogShows([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_FALSE(dialog.testOption(QFileDialog::ReadOnly)) << "new folders can be created";
        suggested = QFileInfo(dialog.selectedFiles().value(0)).fileName();
        dialog.selectFile(destination);
        static_cast<QDialog&>(dialog).accept(); // QFileDialog hides accept()
    });
    const QByteArray session = contentsOf(DiagnosticLogger::shared().currentLogPath());

    EXPECT_EQ(exportCurrentSession(), DiagnosticExportOutcome::saved);

    EXPECT_TRUE(QRegularExpression("^Pavrel-Diagnostics-\\d{4}-\\d\\d-\\d\\d-\\d{6}\\.log$")
                    .match(suggested)
                    .hasMatch())
        << suggested.toStdString();
    EXPECT_EQ(contentsOf(destination), session);
    EXPECT_TRUE(contentsOf(DiagnosticLogger::shared().currentLogPath())
                    .endsWith(" diagnostics.exported\n"));
}

TEST_F(SessionExportDialog, CancellingTheDialogWritesNoEvent) {
    whenDialogShows([](QFileDialog& dialog) { dialog.reject(); });
    const QByteArray session = contentsOf(DiagnosticLogger::shared().currentLogPath());

    EXPECT_EQ(exportCurrentSession(), DiagnosticExportOutcome::cancelled);
    EXPECT_EQ(contentsOf(DiagnosticLogger::shared().currentLogPath()), session);
}

} // namespace

int main(int argc, char** argv) {
    // The shared log lives under the data home: keep it out of the user's own.
    QTemporaryDir home;
    dataHome = home.path();
    qputenv("XDG_DATA_HOME", dataHome.toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
