// Nothing the phone does changes the host outside its storage folder: pushes aimed above
// /sdcard or through links that point out, and shell commands that write or remove elsewhere.
#include "SimulatorTestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUuid>

namespace {

// Every path below a folder with its size, to see that nothing was added, removed or changed.
QStringList snapshot(const QString& folder) {
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        entries << path + QLatin1Char(' ') + QString::number(QFileInfo(path).size()) +
                       QLatin1Char(' ') + QString::fromLatin1(readHostFile(path).toHex().left(64));
    }
    entries.sort();
    return entries;
}

class SimulatorContainmentTest : public SharedPhoneTest {
protected:
    static void SetUpTestSuite() { startPhone(); }

    void SetUp() override {
        SharedPhoneTest::SetUp();
        // A host folder beside the storage folder, reachable from inside only by escaping.
        workspace = QFileInfo(phone->root()).absolutePath();
        canary = QDir(workspace).filePath(QStringLiteral("canary"));
        ASSERT_TRUE(QDir().mkpath(canary));
        writeHostFile(QDir(canary).filePath(QStringLiteral("secret.txt")), "secret");
        QFile::link(canary, QDir(phone->root()).filePath(QStringLiteral("escapeAbsolute")));
        QFile::link(QStringLiteral("../canary"),
                    QDir(phone->root()).filePath(QStringLiteral("escapeRelative")));
        before = snapshot(workspace);
        uniqueName = QStringLiteral("pavrel-containment-") +
                     QUuid::createUuid().toString(QUuid::WithoutBraces);
    }

    void expectHostUnchanged(const QString& what) {
        EXPECT_EQ(snapshot(workspace), before) << what.toStdString();
        for (const QString& folder :
             {QStringLiteral("/"), QStringLiteral("/tmp"), QStringLiteral("/usr"),
              QStringLiteral("/etc"), QDir::tempPath()}) {
            const QString stray = QDir(folder).filePath(uniqueName);
            EXPECT_FALSE(QFileInfo::exists(stray))
                << what.toStdString() << " created " << stray.toStdString();
            QFile::remove(stray);
        }
    }

    QString workspace, canary, uniqueName;
    QStringList before;
};

TEST_F(SimulatorContainmentTest, PushesAimedOutsideStorageChangeNothing) {
    QTemporaryDir local;
    const QString file = local.filePath(uniqueName);
    writeHostFile(file, "payload");
    const QStringList destinations = {
        QStringLiteral("/sdcard/../.."),
        QStringLiteral("/sdcard/../../") + uniqueName,
        QStringLiteral("/sdcard/../../tmp/"),
        QStringLiteral("/storage/emulated/0/../../../usr/"),
        QStringLiteral("/sdcard/") + QStringLiteral("../../") + canary + QLatin1Char('/'),
        canary + QLatin1Char('/'),
        QStringLiteral("/sdcard/escapeAbsolute/"),
        QStringLiteral("/sdcard/escapeAbsolute/secret.txt"),
        QStringLiteral("/sdcard/escapeRelative/"),
        QStringLiteral("/sdcard/escapeRelative/secret.txt"),
        QStringLiteral("/data/local/tmp/"),
    };
    for (const auto& destination : destinations) {
        const auto pushed = phone->adb(
            {QStringLiteral("-s"), phone->serial(), QStringLiteral("push"), file, destination});
        EXPECT_NE(pushed.exitStatus, 0) << destination.toStdString();
        // adb prints its errors on standard output when that is not a terminal.
        const QByteArray said = pushed.standardOutput + pushed.standardError;
        EXPECT_TRUE(said.contains("Permission denied"))
            << destination.toStdString() << ": " << said.toStdString();
        expectHostUnchanged(QStringLiteral("push to ") + destination);
    }
}

TEST_F(SimulatorContainmentTest, PullsThroughEscapingPathsFindNothing) {
    QTemporaryDir local;
    for (const QString& source :
         {QStringLiteral("/sdcard/escapeAbsolute/secret.txt"),
          QStringLiteral("/sdcard/escapeRelative/secret.txt"),
          QStringLiteral("/sdcard/../canary/secret.txt"), canary + QStringLiteral("/secret.txt"),
          QStringLiteral("/sdcard/../../etc/hostname")}) {
        const QString target = local.filePath(uniqueName);
        const auto pulled = phone->adb(
            {QStringLiteral("-s"), phone->serial(), QStringLiteral("pull"), source, target});
        EXPECT_NE(pulled.exitStatus, 0) << source.toStdString();
        EXPECT_FALSE(QFileInfo::exists(target)) << source.toStdString();
    }
}

TEST_F(SimulatorContainmentTest, ShellCannotWriteOrRemoveHostFiles) {
    const QString name = shellQuoted(uniqueName);
    const QStringList commands = {
        QStringLiteral("rm -rf ") + shellQuoted(canary),
        QStringLiteral("rm -f /sdcard/escapeAbsolute/secret.txt /sdcard/escapeRelative/secret.txt"),
        QStringLiteral("echo x > /sdcard/escapeAbsolute/") + name,
        QStringLiteral("echo x > /sdcard/../") + name,
        QStringLiteral("echo x > /usr/") + name,
        QStringLiteral("echo x > /etc/") + name,
        QStringLiteral("echo x > /tmp/") + name,
        QStringLiteral("touch /") + name,
        QStringLiteral("mount -o remount,rw /usr; echo x > /usr/") + name,
        QStringLiteral("cd /sdcard/.. && echo x > ") + name,
    };
    for (const auto& command : commands) {
        phone->shell(command);
        expectHostUnchanged(command);
    }
    EXPECT_EQ(readHostFile(QDir(canary).filePath(QStringLiteral("secret.txt"))), "secret");
    // The storage folder itself is still there and writable.
    EXPECT_EQ(phone
                  ->shell(QStringLiteral("echo ok > /sdcard/") + name +
                          QStringLiteral(" && cat /sdcard/") + name)
                  .standardOutput,
              "ok\n");
}

} // namespace
