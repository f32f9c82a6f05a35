// The computer's side of transfers on real files, and the fixed answers of the mock repository.
#include "BlockingWait.h"
#include "LocalFileError.h"
#include "LocalItems.h"
#include "LocalTestFiles.h"
#include "MockDeviceRepository.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {


class LocalItems : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(root.isValid()); }
    QString path(const QString& relative) const { return root.filePath(relative); }

    QTemporaryDir root;
};

} // namespace

TEST_F(LocalItems, replaceMovesTheCopyInAndDropsThePreviousItem) {
    struct Case {
        const char* reason;
        std::function<void(const QString& final)> previous;
    };
    const Case cases[] = {
        {"nothing there", [](const QString&) {}},
        {"a file", [](const QString& final) { writeFile(final, "previous"); }},
        {"a folder", [](const QString& final) { writeFile(final + "/inner/x", "previous"); }},
        {"a dangling link",
         [](const QString& final) { QFile::link("/nonexistent/target", final); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        const QString folder = path(c.reason);
        const QString final = folder + "/Mum's | photo.jpg";
        c.previous(final);
        writeFile(folder + "/.copy", "new");
        replaceLocalItem(folder + "/.copy", final, folder + "/.afm-backup-1");
        EXPECT_EQ(readFile(final), "new");
        EXPECT_EQ(entryNames(folder), QStringList{"Mum's | photo.jpg"});
    }
}

TEST_F(LocalItems, aFailedReplaceBringsThePreviousItemBack) {
    writeFile(path("final.jpg"), "previous");
    // The copy is missing, so moving it in fails.
    EXPECT_THROW(replaceLocalItem(path("missing"), path("final.jpg"), path(".afm-backup-1")),
                 LocalFileError);
    EXPECT_EQ(readFile(path("final.jpg")), "previous");
    EXPECT_EQ(entryNames(root.path()), QStringList{"final.jpg"});

    // The previous item cannot be moved aside: the backup's folder does not exist.
    writeFile(path("copy"), "new");
    EXPECT_THROW(replaceLocalItem(path("copy"), path("final.jpg"), path("no/such/.afm-backup-2")),
                 LocalFileError);
    EXPECT_EQ(readFile(path("final.jpg")), "previous");
    EXPECT_EQ(readFile(path("copy")), "new");
}

TEST_F(LocalItems, treesListFoldersFirstWithHiddenItemsAndWithoutLinks) {
    writeFile(path("tree/b.txt"), "bb");
    writeFile(path("tree/.hidden/a.txt"), "a");
    writeFile(path("tree/Track 10.mp3"), "1234567890");
    writeFile(path("tree/track 2.mp3"), "12");
    QDir().mkpath(path("tree/empty"));
    QFile::link(path("tree/b.txt"), path("tree/link to b"));
    QFile::link(path("tree/empty"), path("tree/link to empty"));

    QStringList listed;
    for (const LocalDirectoryEntry& entry : listLocalTree(QUrl::fromLocalFile(path("tree/")))) {
        listed.append(entry.relativePath +
                      (entry.isDirectory ? "/" : "=" + QString::number(entry.size)));
        EXPECT_EQ(entry.url.toLocalFile(), QDir::cleanPath(path("tree/") + entry.relativePath));
    }
    EXPECT_EQ(listed, (QStringList{".hidden/", "empty/", ".hidden/a.txt=1", "b.txt=2",
                                   "track 2.mp3=2", "Track 10.mp3=10"}));

    EXPECT_EQ(localItemSize(QUrl::fromLocalFile(path("tree"))), 15);
    EXPECT_EQ(localItemSize(QUrl::fromLocalFile(path("tree/b.txt"))), 2);
    EXPECT_EQ(localItemSize(QUrl::fromLocalFile(path("missing"))), std::nullopt);
    EXPECT_EQ(localFileSize(QUrl::fromLocalFile(path("tree/b.txt"))), 2);
    EXPECT_EQ(localFileSize(QUrl::fromLocalFile(path("tree/empty"))), std::nullopt);
    EXPECT_EQ(localFileSize(QUrl::fromLocalFile(path("missing"))), std::nullopt);
}

TEST_F(LocalItems, removingAndCreatingItems) {
    writeFile(path("folder/deep/file"), "x");
    QFile::link(path("folder"), path("link"));
    EXPECT_TRUE(removeLocalItem(path("link")));
    // Removing a link never touches what it points at.
    EXPECT_EQ(readFile(path("folder/deep/file")), "x");
    EXPECT_TRUE(removeLocalItem(path("folder")));
    EXPECT_TRUE(removeLocalItem(path("never there")));
    EXPECT_TRUE(entryNames(root.path()).isEmpty());

    createLocalFolder(path("a/b/c"));
    EXPECT_TRUE(QFileInfo(path("a/b/c")).isDir());
    writeFile(path("file"), "x");
    EXPECT_THROW(createLocalFolder(path("file/sub")), LocalFileError);
}

TEST(MockDeviceRepository, answersAtOnceWithItsFixedPhone) {
    MockDeviceRepository mock;
    EXPECT_EQ(blockingWait(mock.devices()), QList<AndroidDevice>{mock.mockDevice});
    EXPECT_EQ(blockingWait(mock.connect("anything at all", "x")),
              (AndroidDevice{"anything at all:x", "Pixel 9 Pro", AndroidDevice::State::connected,
                             ConnectionMethod::wifi}));
    EXPECT_EQ(blockingWait(mock.fetchDeviceInfo(mock.mockDevice)),
              (DeviceInfo{"Pixel 9 Pro", "16", 78, true, 68'719'476'736, 128'000'000'000}));
    EXPECT_TRUE(blockingWait(mock.directoryExists("/nowhere", mock.mockDevice)));
    EXPECT_EQ(blockingWait(mock.availableSpace("/sdcard", mock.mockDevice)), 68'719'476'736);
    EXPECT_TRUE(blockingWait(mock.readFilePrefix({}, 100, mock.mockDevice)).isEmpty());

    const QDateTime before = QDateTime::currentDateTime();
    const QList<DeviceFile> files = blockingWait(mock.listFiles("/sdcard/DCIM", mock.mockDevice));
    QStringList names;
    for (const DeviceFile& file : files) {
        names.append(file.name);
        EXPECT_EQ(file.path, "/sdcard/DCIM/" + file.name);
    }
    EXPECT_EQ(names, (QStringList{"DCIM", "Download", "Documents", "holiday.jpg",
                                  "presentation.pdf", "voice-note.m4a"}));
    EXPECT_NEAR(files.at(5).modifiedAt->secsTo(before), 190'000, 2);
    EXPECT_NEAR(files.at(4).modifiedAt->secsTo(before), 25 * 3600, 2);

    EXPECT_EQ(blockingWait(mock.totalSize(files.mid(0, 3), mock.mockDevice)), 7'200'000'000);
    EXPECT_EQ(blockingWait(mock.totalSize(files.mid(3), mock.mockDevice)), 17'271'510);

    QList<TransferProgress> reports;
    blockingWait(mock.upload(QUrl::fromLocalFile("/home/me/Mum's.jpg"), "/sdcard", "x",
                             mock.mockDevice, std::nullopt,
                             [&](const TransferProgress& p) { reports.append(p); }));
    blockingWait(mock.download(files.at(3), DownloadDestination::directory(QUrl()), "y",
                               mock.mockDevice, std::nullopt,
                               [&](const TransferProgress& p) { reports.append(p); }));
    EXPECT_EQ(reports, (QList<TransferProgress>{{1.0, "Mum's.jpg"}, {1.0, "holiday.jpg"}}));
}
