// The assembled Pavrel.app as a user gets it: its adb resources, and a first launch offscreen
// with an empty home folder.
#include "ADBDistributionInfo.h"
#include "AppBundle.h"
#include "PropertyList.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const AppBundle bundle(QStringLiteral(PAVREL_BUNDLE_PATH));

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(Bundle, RecordsTheDigestAndVersionOfItsAdb) {
    const QByteArray adb = readAll(bundle.filePath(QStringLiteral("Contents/Helpers/adb")));
    ASSERT_FALSE(adb.isEmpty());
    const QByteArray digest = QCryptographicHash::hash(adb, QCryptographicHash::Sha256).toHex();
    EXPECT_EQ(readAll(bundle.resourcePath(QStringLiteral("adb-integrity"), QStringLiteral("sha256"))).trimmed(), digest);

    const auto manifest = loadADBDistributionInfo(bundle);
    ASSERT_TRUE(manifest.has_value());
    EXPECT_EQ(manifest->sha256.toLatin1(), digest);
    QProcess version;
    version.start(bundle.filePath(QStringLiteral("Contents/Helpers/adb")), {QStringLiteral("version")});
    ASSERT_TRUE(version.waitForFinished(10000));
    const QString report = QString::fromUtf8(version.readAllStandardOutput());
    EXPECT_TRUE(report.contains(QStringLiteral("version ") + manifest->version)) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("Version ") + manifest->revision)) << report.toStdString();

    EXPECT_TRUE(readAll(bundle.resourcePath(QStringLiteral("adb-NOTICE"), QStringLiteral("txt"))).contains("Apache License"));
    const QVariantMap info = readPropertyListDictionary(bundle.filePath(QStringLiteral("Contents/Info.plist")));
    EXPECT_EQ(info.value(QStringLiteral("CFBundleIdentifier")).toString(), "app.pavrel.Pavrel");
    EXPECT_FALSE(info.value(QStringLiteral("CFBundleShortVersionString")).toString().isEmpty());
    EXPECT_FALSE(info.value(QStringLiteral("CFBundleVersion")).toString().isEmpty());
    EXPECT_TRUE(QFile::exists(bundle.filePath(QStringLiteral("Contents/Frameworks/libPavrelUnwind.so"))));
}

TEST(Bundle, FirstLaunchWritesTheSessionHeaderThenTheLaunchEvent) {
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    for (const char* variable : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"}) {
        environment.remove(QString::fromLatin1(variable));
    }
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    QProcess application;
    application.setProcessEnvironment(environment);
    application.start(bundle.filePath(QStringLiteral("Contents/MacOS/Pavrel")), {});
    ASSERT_TRUE(application.waitForStarted(10000));

    const QDir diagnostics(home.filePath(QStringLiteral(".local/share/app.pavrel.Pavrel/Diagnostics")));
    QString sessionPath;
    const bool written = QTest::qWaitFor(
        [&] {
            const QStringList files = diagnostics.entryList({QStringLiteral("*.log")}, QDir::Files);
            if (files.size() == 1) {
                sessionPath = diagnostics.filePath(files.first());
                return readAll(sessionPath).count('\n') >= 2;
            }
            return false;
        },
        20000);
    application.terminate();
    application.waitForFinished(10000);
    ASSERT_TRUE(written) << application.readAllStandardError().toStdString();

    EXPECT_TRUE(QRegularExpression(QStringLiteral("^session-\\d+-[0-9A-F]{8}\\.log$"))
                    .match(QFileInfo(sessionPath).fileName())
                    .hasMatch());
    const QList<QByteArray> lines = readAll(sessionPath).split('\n');
    const auto manifest = loadADBDistributionInfo(bundle);
    ASSERT_TRUE(manifest.has_value());
    const QRegularExpression header(QStringLiteral(
        "^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ session\\.started adb_revision=(\\S+) adb_version=(\\S+) "
        "app_version=\\S+ macos=.+$"));
    const auto match = header.match(QString::fromUtf8(lines.at(0)));
    ASSERT_TRUE(match.hasMatch()) << lines.at(0).toStdString();
    EXPECT_EQ(match.captured(1), manifest->revision);
    EXPECT_EQ(match.captured(2), manifest->version);
    EXPECT_TRUE(lines.at(1).endsWith(" application.launched")) << lines.at(1).toStdString();
    for (const QByteArray& line : lines) {
        EXPECT_FALSE(line.contains('/')) << "a path leaked into the log: " << line.toStdString();
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
