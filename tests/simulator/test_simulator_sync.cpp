// Push, pull and listing against the simulated phone with the real adb: byte-identical copies of
// a large file and of a tree with awkward names, the product's listing loop, and 64-bit sizes.
#include "SimulatorTestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

class SimulatorSyncTest : public SharedPhoneTest {
protected:
    static void SetUpTestSuite() { startPhone(); }

    QString onPhone(const QString& relative) const {
        return QDir(phone->root()).filePath(relative);
    }

    DeviceSimulatorFixture::AdbResult adbOnPhone(QStringList arguments) const {
        return phone->adb(QStringList{QStringLiteral("-s"), phone->serial()} + arguments);
    }
};

// Relative path → content of every regular file below `folder`, and the set of folders.
struct TreeContent {
    QMap<QString, QByteArray> files;
    QStringList folders;
    bool operator==(const TreeContent&) const = default;
};

TreeContent treeContent(const QString& folder) {
    TreeContent content;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir base(folder);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        if (info.isSymLink()) {
            continue;
        }
        if (info.isDir()) {
            content.folders << base.relativeFilePath(path);
        } else {
            content.files[base.relativeFilePath(path)] = readHostFile(path);
        }
    }
    content.folders.sort();
    return content;
}

TEST_F(SimulatorSyncTest, TwentyMebibyteFileRoundTripsByteIdentical) {
    QTemporaryDir local;
    const QByteArray bytes = randomBytes(20 * 1024 * 1024);
    writeHostFile(local.filePath(QStringLiteral("big.bin")), bytes);
    const auto pushed =
        adbOnPhone({QStringLiteral("push"), local.filePath(QStringLiteral("big.bin")),
                    QStringLiteral("/sdcard/Download/big.bin")});
    ASSERT_EQ(pushed.exitStatus, 0) << pushed.standardError.toStdString();
    EXPECT_TRUE(readHostFile(onPhone(QStringLiteral("Download/big.bin"))) == bytes);

    const auto pulled =
        adbOnPhone({QStringLiteral("pull"), QStringLiteral("/sdcard/Download/big.bin"),
                    local.filePath(QStringLiteral("back.bin"))});
    ASSERT_EQ(pulled.exitStatus, 0) << pulled.standardError.toStdString();
    EXPECT_TRUE(readHostFile(local.filePath(QStringLiteral("back.bin"))) == bytes);
}

TEST_F(SimulatorSyncTest, FolderTreeWithAwkwardNamesRoundTripsIdentical) {
    QTemporaryDir local;
    const QString tree = local.filePath(QStringLiteral("tree"));
    const QStringList folders = {QStringLiteral("it's"),
                                 QStringLiteral("it's/a|b"),
                                 QStringLiteral("it's/a|b/with space"),
                                 QStringLiteral("it's/a|b/with space/-leading"),
                                 QStringLiteral("Привет"),
                                 QStringLiteral(".hidden"),
                                 QStringLiteral("..dots"),
                                 QStringLiteral("two  spaces ")};
    // adb push sends files only, so every folder holds one.
    for (const auto& folder : folders) {
        ASSERT_TRUE(QDir(tree).mkpath(folder));
        writeHostFile(QDir(tree).filePath(folder + QStringLiteral("/file 'q' |x| Привет.bin")),
                      randomBytes(70000));
    }
    writeHostFile(QDir(tree).filePath(QStringLiteral("-dash.txt")), "dash");
    writeHostFile(QDir(tree).filePath(QStringLiteral("empty")), {});
    ASSERT_TRUE(QFile::link(QStringLiteral("it's"), QDir(tree).filePath(QStringLiteral("link"))));
    const TreeContent original = treeContent(tree);

    const auto pushed = adbOnPhone({QStringLiteral("push"), tree, QStringLiteral("/sdcard/")});
    ASSERT_EQ(pushed.exitStatus, 0) << pushed.standardError.toStdString();
    const TreeContent onDevice = treeContent(onPhone(QStringLiteral("tree")));
    EXPECT_EQ(onDevice.files.keys(), original.files.keys());
    EXPECT_TRUE(onDevice == original);
    // A link travels as a link, not as a copy of what it points at.
    EXPECT_EQ(QFileInfo(onPhone(QStringLiteral("tree/link"))).symLinkTarget(),
              onPhone(QStringLiteral("tree/it's")));

    const auto pulled = adbOnPhone({QStringLiteral("pull"), QStringLiteral("/sdcard/tree"),
                                    local.filePath(QStringLiteral("back"))});
    ASSERT_EQ(pulled.exitStatus, 0) << pulled.standardError.toStdString();
    const TreeContent back = treeContent(local.filePath(QStringLiteral("back")));
    for (auto it = original.files.cbegin(); it != original.files.cend(); ++it) {
        EXPECT_TRUE(back.files.value(it.key()) == it.value()) << it.key().toStdString();
    }
}

TEST_F(SimulatorSyncTest, PushCreatesMissingParentsAndKeepsTheModificationTime) {
    QTemporaryDir local;
    const QString file = local.filePath(QStringLiteral("note.txt"));
    writeHostFile(file, "note");
    const QDateTime stamp = QDateTime::fromSecsSinceEpoch(1500000000);
    {
        QFile handle(file);
        ASSERT_TRUE(handle.open(QIODevice::ReadWrite));
        ASSERT_TRUE(handle.setFileTime(stamp, QFileDevice::FileModificationTime));
    }
    const auto pushed = adbOnPhone(
        {QStringLiteral("push"), file, QStringLiteral("/storage/emulated/0/new/deep/note.txt")});
    ASSERT_EQ(pushed.exitStatus, 0) << pushed.standardError.toStdString();
    const QFileInfo onDevice(onPhone(QStringLiteral("new/deep/note.txt")));
    EXPECT_EQ(readHostFile(onDevice.filePath()), "note");
    EXPECT_EQ(onDevice.lastModified().toSecsSinceEpoch(), stamp.toSecsSinceEpoch());
}

TEST_F(SimulatorSyncTest, PullOfAMissingFileFailsWithTheReason) {
    QTemporaryDir local;
    const auto pulled = adbOnPhone({QStringLiteral("pull"), QStringLiteral("/sdcard/missing.txt"),
                                    local.filePath(QStringLiteral("missing.txt"))});
    EXPECT_NE(pulled.exitStatus, 0);
    // adb prints its errors on standard output when that is not a terminal.
    const QByteArray said = pulled.standardOutput + pulled.standardError;
    EXPECT_TRUE(said.contains("No such file or directory")) << said.toStdString();
    EXPECT_FALSE(QFileInfo::exists(local.filePath(QStringLiteral("missing.txt"))));
}

TEST_F(SimulatorSyncTest, ListingLoopReportsHiddenDotDotAndAwkwardNames) {
    const QString folder = QStringLiteral("list it's a|b Привет");
    ASSERT_TRUE(QDir(phone->root()).mkpath(folder + QStringLiteral("/dir")));
    ASSERT_TRUE(QDir(phone->root()).mkpath(QStringLiteral("empty listing")));
    const QStringList names = {QStringLiteral("plain.txt"),  QStringLiteral(".hidden"),
                               QStringLiteral("..double"),   QStringLiteral("...triple"),
                               QStringLiteral("-dash"),      QStringLiteral("it's"),
                               QStringLiteral("a|b"),        QStringLiteral("sp ace"),
                               QStringLiteral("Привет.txt"), QStringLiteral("zero")};
    QStringList expected;
    for (const auto& name : names) {
        const QString path = onPhone(folder + QLatin1Char('/') + name);
        writeHostFile(path, name == QStringLiteral("zero") ? QByteArray() : name.toUtf8());
    }
    for (const auto& name : names + QStringList{QStringLiteral("dir")}) {
        const QFileInfo info(onPhone(folder + QLatin1Char('/') + name));
        const QString type = info.isDir()       ? QStringLiteral("directory")
                             : info.size() == 0 ? QStringLiteral("regular empty file")
                                                : QStringLiteral("regular file");
        expected << QStringLiteral("%1|%2|%3|/sdcard/%4/%5")
                        .arg(type)
                        .arg(info.size())
                        .arg(info.lastModified().toSecsSinceEpoch())
                        .arg(folder, name);
    }
    expected.sort();

    auto listing = [&](const QString& path) {
        const QString q = shellQuoted(path);
        return phone->shell(QStringLiteral("for f in ") + q + QStringLiteral("/* ") + q +
                            QStringLiteral("/.[!.]* ") + q +
                            QStringLiteral("/..?*; do [ -e \"$f\" ] || continue; stat -c "
                                           "'%F|%s|%Y|%n' \"$f\"; done"));
    };
    const auto listed = listing(QStringLiteral("/sdcard/") + folder);
    EXPECT_EQ(listed.exitStatus, 0);
    QStringList lines =
        QString::fromUtf8(listed.standardOutput).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    lines.sort();
    EXPECT_EQ(lines, expected);

    const auto empty = listing(QStringLiteral("/sdcard/empty listing"));
    EXPECT_EQ(empty.exitStatus, 0);
    EXPECT_EQ(empty.standardOutput, QByteArray());
}

TEST_F(SimulatorSyncTest, SizesBeyondThirtyTwoBitsSurvive) {
    const quint64 size = (quint64{5} << 30) + 1;
    {
        QFile huge(onPhone(QStringLiteral("huge.bin")));
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
        ASSERT_TRUE(huge.resize(static_cast<qint64>(size)));
    }
    // adb ls uses the 64-bit listing and prints the size in hexadecimal.
    const auto ls = adbOnPhone({QStringLiteral("ls"), QStringLiteral("/sdcard/")});
    ASSERT_EQ(ls.exitStatus, 0);
    const QString line = QString::fromUtf8(ls.standardOutput)
                             .split(QLatin1Char('\n'))
                             .filter(QStringLiteral("huge.bin"))
                             .value(0);
    EXPECT_EQ(line.split(QLatin1Char(' ')).value(1), QString::number(size, 16))
        << line.toStdString();

    SyncProbe probe(*phone);
    ASSERT_TRUE(probe.connected());
    constexpr qsizetype statV2Size = 72;
    constexpr qsizetype sizeOffset = 40;
    for (const char* id : {"STA2", "LST2"}) {
        const QByteArray reply = probe.request(id, "/sdcard/huge.bin", statV2Size);
        EXPECT_EQ(reply.left(4), QByteArray(id));
        EXPECT_EQ(littleEndian32(reply, 4), 0u) << id;
        EXPECT_EQ(littleEndian64(reply, sizeOffset), size) << id;
    }
    const QByteArray missing = probe.request("STA2", "/sdcard/missing", statV2Size);
    EXPECT_EQ(littleEndian32(missing, 4), 2u) << "ENOENT";
    // The first protocol version has 32 bits for a size; only the low bits fit.
    const QByteArray v1 = probe.request("STAT", "/sdcard/huge.bin", 16);
    EXPECT_EQ(littleEndian32(v1, 8), static_cast<quint32>(size));
}

} // namespace
