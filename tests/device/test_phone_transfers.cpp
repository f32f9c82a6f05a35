// Uploads and downloads between a local folder and the simulated phone with the real adb:
// files and folder trees, odd names, replacing existing items, resuming, cancelling, faults.
#include "AppLanguageManager.h"
#include "BlockingWait.h"
#include "CancelledError.h"
#include "DeviceRepositoryError.h"
#include "FreshPreferences.h"
#include "PhoneIntegration.h"

#include <QDeadlineTimer>
#include <QDirIterator>
#include <QFile>

namespace {

class PhoneTransfers : public PhoneIntegrationTest {
protected:
    void TearDown() override {
        if (phone) {
            phone->control("rate off");
            phone->control("drop cancel");
        }
    }
};

// Every report of one transfer, in order.
struct ProgressLog {
    QList<TransferProgress> reports;

    TransferProgressHandler handler() {
        return [this](const TransferProgress& progress) { reports.append(progress); };
    }

    bool neverDecreases() const {
        for (qsizetype index = 1; index < reports.size(); ++index) {
            if (reports.at(index).fractionCompleted < reports.at(index - 1).fractionCompleted) {
                return false;
            }
        }
        return true;
    }
};

// Runs the event loop until `condition` holds or the time is up.
bool waitUntil(const std::function<bool()>& condition, int milliseconds = 60'000) {
    const QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Relative path → content of every file below `folder`, and "path/" for every folder.
QMap<QString, QByteArray> treeOf(const QString& folder) {
    QMap<QString, QByteArray> tree;
    QDirIterator iterator(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                          QDirIterator::Subdirectories);
    while (iterator.hasNext()) {
        const QString path = iterator.next();
        const QString relative = path.mid(folder.size() + 1);
        if (iterator.fileInfo().isDir()) {
            tree.insert(relative + "/", {});
        } else {
            tree.insert(relative, readFile(path));
        }
    }
    return tree;
}

// Command lines of running processes that mention `text`.
QStringList processesMentioning(const QString& text) {
    QStringList found;
    for (const QString& pid : QDir("/proc").entryList(QDir::Dirs)) {
        QByteArray commandLine = readFile("/proc/" + pid + "/cmdline");
        commandLine.replace('\0', ' ');
        if (commandLine.contains(text.toUtf8())) {
            found.append(QString::fromUtf8(commandLine));
        }
    }
    return found;
}

DeviceFile deviceItem(const QString& path, bool isDirectory) {
    return {path.section('/', -1),
            path,
            isDirectory,
            isDirectory ? std::nullopt : std::optional<qint64>(QFileInfo(path).size()),
            {}};
}

template <typename T> std::exception_ptr failureOf(const TaskHandle<T>& handle) {
    try {
        blockingWait(handle);
    } catch (...) {
        return std::current_exception();
    }
    return {};
}

template <typename Error> bool isError(const std::exception_ptr& failure) {
    try {
        if (failure) {
            std::rethrow_exception(failure);
        }
    } catch (const Error&) {
        return true;
    } catch (...) {
    }
    return false;
}

// A small tree with the names that trip shells and path code.
void writeOddTree(const QString& root) {
    writeFile(root + "/Mum's «фото» | -x.jpg", noiseBytes(70'000));
    writeFile(root + "/-rf", noiseBytes(10));
    writeFile(root + "/ leading space.txt", "space");
    writeFile(root + "/.hidden/..data/$(id).bin", noiseBytes(300'000));
    writeFile(root + "/Альбом 2/track 10.mp3", noiseBytes(120'000));
    writeFile(root + "/Альбом 2/empty.txt", {});
    QDir().mkpath(root + "/empty folder");
}

} // namespace

TEST_F(PhoneTransfers, singleFilesWithOddNamesBothWays) {
    const QStringList names{"Mum's «фото» | -x.jpg", "-rf", " space .bin", "$(id)`x`.txt",
                            "..data"};
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray content = noiseBytes(50'000 + name.size());
        const QString source = localFolder() + "/source " + name;
        writeFile(source, content);
        ProgressLog uploadLog;
        blockingWait(repository->upload(QUrl::fromLocalFile(source), deviceFolder(), name, device,
                                        std::nullopt, uploadLog.handler()));
        EXPECT_EQ(readFile(hostPath(deviceFolder()) + "/" + name), content);
        ASSERT_FALSE(uploadLog.reports.isEmpty());
        EXPECT_EQ(uploadLog.reports.last(), (TransferProgress{1.0, "source " + name}));

        const DeviceFile uploaded = deviceItem(deviceFolder() + "/" + name, false);
        ProgressLog downloadLog;
        blockingWait(repository->download(
            uploaded, DownloadDestination::directory(QUrl::fromLocalFile(localFolder() + "/down")),
            name, device, std::nullopt, downloadLog.handler()));
        EXPECT_EQ(readFile(localFolder() + "/down/" + name), content);
        EXPECT_EQ(downloadLog.reports.last(), (TransferProgress{1.0, name}));
    }
    // Under another name, and to an exact item.
    const DeviceFile first = deviceItem(deviceFolder() + "/-rf", false);
    blockingWait(repository->download(
        first, DownloadDestination::directory(QUrl::fromLocalFile(localFolder())), "другое имя",
        device, std::nullopt, {}));
    blockingWait(repository->download(
        first, DownloadDestination::item(QUrl::fromLocalFile(localFolder() + "/exact/it's")),
        "ignored", device, std::nullopt, {}));
    EXPECT_EQ(readFile(localFolder() + "/другое имя"), readFile(hostPath(first.path)));
    EXPECT_EQ(readFile(localFolder() + "/exact/it's"), readFile(hostPath(first.path)));
    EXPECT_TRUE(transferLeftovers(localFolder()).isEmpty());
    EXPECT_TRUE(transferLeftovers(hostPath(deviceFolder())).isEmpty());
}

TEST_F(PhoneTransfers, folderTreesBothWays) {
    const QString source = localFolder() + "/Поездка ' 2024";
    writeOddTree(source);
    ProgressLog uploadLog;
    blockingWait(repository->upload(QUrl::fromLocalFile(source), deviceFolder(), "Trip | copy",
                                    device, std::nullopt, uploadLog.handler()));
    const QString deviceTree = hostPath(deviceFolder()) + "/Trip | copy";
    EXPECT_EQ(treeOf(deviceTree), treeOf(source));
    EXPECT_TRUE(uploadLog.neverDecreases());
    EXPECT_EQ(uploadLog.reports.last(), (TransferProgress{1.0, "Поездка ' 2024"}));

    ProgressLog downloadLog;
    blockingWait(repository->download(
        deviceItem(deviceFolder() + "/Trip | copy", true),
        DownloadDestination::directory(QUrl::fromLocalFile(localFolder() + "/back")), "-back",
        device, std::nullopt, downloadLog.handler()));
    EXPECT_EQ(treeOf(localFolder() + "/back/-back"), treeOf(source));
    EXPECT_TRUE(downloadLog.neverDecreases());
    EXPECT_EQ(downloadLog.reports.last(), (TransferProgress{1.0, "Trip | copy"}));
    EXPECT_TRUE(transferLeftovers(localFolder()).isEmpty());
    EXPECT_TRUE(transferLeftovers(hostPath(deviceFolder())).isEmpty());
}

TEST_F(PhoneTransfers, foldersReplaceFilesAndMergeIntoFolders) {
    const QString source = localFolder() + "/album";
    writeFile(source + "/new.jpg", "new");
    // A file of the folder's name is replaced by the folder.
    writeFile(hostPath(deviceFolder()) + "/album", "a file in the way");
    blockingWait(repository->upload(QUrl::fromLocalFile(source), deviceFolder(), "album", device,
                                    std::nullopt, {}));
    EXPECT_EQ(treeOf(hostPath(deviceFolder()) + "/album"), treeOf(source));
    // An existing folder is merged into.
    writeFile(hostPath(deviceFolder()) + "/album/kept.jpg", "kept");
    writeFile(source + "/second.jpg", "second");
    blockingWait(repository->upload(QUrl::fromLocalFile(source), deviceFolder(), "album", device,
                                    std::nullopt, {}));
    EXPECT_EQ(entryNames(hostPath(deviceFolder()) + "/album"),
              (QStringList{"kept.jpg", "new.jpg", "second.jpg"}));

    const DeviceFile album = deviceItem(deviceFolder() + "/album", true);
    const QString target = localFolder() + "/target";
    writeFile(target + "/album", "a local file in the way");
    blockingWait(repository->download(album,
                                      DownloadDestination::directory(QUrl::fromLocalFile(target)),
                                      "album", device, std::nullopt, {}));
    EXPECT_EQ(treeOf(target + "/album"), treeOf(hostPath(deviceFolder()) + "/album"));
    writeFile(target + "/album/local only.txt", "mine");
    blockingWait(repository->download(album,
                                      DownloadDestination::directory(QUrl::fromLocalFile(target)),
                                      "album", device, std::nullopt, {}));
    EXPECT_EQ(readFile(target + "/album/local only.txt"), "mine");
    EXPECT_TRUE(transferLeftovers(localFolder()).isEmpty());
    EXPECT_TRUE(transferLeftovers(hostPath(deviceFolder())).isEmpty());
}

TEST_F(PhoneTransfers, aRepeatedFolderTransferSkipsFilesOfTheSameSize) {
    const QString source = localFolder() + "/tree";
    writeFile(source + "/a.bin", noiseBytes(1000));
    writeFile(source + "/sub/b.bin", noiseBytes(2000));
    writeFile(source + "/sub/c.bin", noiseBytes(3000));
    blockingWait(repository->upload(QUrl::fromLocalFile(source), deviceFolder(), "tree", device,
                                    std::nullopt, {}));
    EXPECT_EQ(runner->count("push"), 3);

    writeFile(source + "/sub/b.bin", noiseBytes(2001));
    writeFile(source + "/d.bin", noiseBytes(10));
    runner->calls.clear();
    ProgressLog log;
    blockingWait(repository->upload(QUrl::fromLocalFile(source), deviceFolder(), "tree", device,
                                    std::nullopt, log.handler()));
    EXPECT_EQ(runner->count("push"), 2);
    EXPECT_EQ(treeOf(hostPath(deviceFolder()) + "/tree"), treeOf(source));
    EXPECT_TRUE(log.neverDecreases());

    const DeviceFile tree = deviceItem(deviceFolder() + "/tree", true);
    const auto destination =
        DownloadDestination::directory(QUrl::fromLocalFile(localFolder() + "/down"));
    blockingWait(repository->download(tree, destination, "tree", device, std::nullopt, {}));
    writeFile(hostPath(deviceFolder()) + "/tree/a.bin", noiseBytes(999));
    runner->calls.clear();
    blockingWait(repository->download(tree, destination, "tree", device, std::nullopt, {}));
    EXPECT_EQ(runner->count("pull"), 1);
    EXPECT_EQ(treeOf(localFolder() + "/down/tree"), treeOf(hostPath(deviceFolder()) + "/tree"));
}

TEST_F(PhoneTransfers, thePreviousItemStaysIntactUntilItsSwap) {
    const QString deviceFile = hostPath(deviceFolder()) + "/photo.jpg";
    writeFile(deviceFile, "previous photo");
    const QByteArray replacement = noiseBytes(1'500'000);
    writeFile(localFolder() + "/photo.jpg", replacement);
    phone->control("rate 1000000");
    auto upload = spawn(repository->upload(QUrl::fromLocalFile(localFolder() + "/photo.jpg"),
                                           deviceFolder(), "photo.jpg", device, std::nullopt, {}));
    ASSERT_TRUE(waitUntil([&] {
        return !transferLeftovers(hostPath(deviceFolder())).isEmpty() || upload.isFinished();
    }));
    EXPECT_FALSE(upload.isFinished());
    EXPECT_EQ(readFile(deviceFile), "previous photo");
    EXPECT_TRUE(transferLeftovers(hostPath(deviceFolder())).at(0).contains("/.afm-transfer-"));
    blockingWait(upload);
    EXPECT_EQ(readFile(deviceFile), replacement);
    EXPECT_EQ(entryNames(hostPath(deviceFolder())), QStringList{"photo.jpg"});

    const QString localFile = localFolder() + "/down/photo.jpg";
    writeFile(localFile, "previous local photo");
    auto download =
        spawn(repository->download(deviceItem(deviceFolder() + "/photo.jpg", false),
                                   DownloadDestination::item(QUrl::fromLocalFile(localFile)),
                                   "photo.jpg", device, std::nullopt, {}));
    ASSERT_TRUE(waitUntil([&] {
        return !transferLeftovers(localFolder() + "/down").isEmpty() || download.isFinished();
    }));
    EXPECT_FALSE(download.isFinished());
    EXPECT_EQ(readFile(localFile), "previous local photo");
    blockingWait(download);
    EXPECT_EQ(readFile(localFile), replacement);
    EXPECT_EQ(entryNames(localFolder() + "/down"), QStringList{"photo.jpg"});
}

TEST_F(PhoneTransfers, aCancelledTransferEndsAdbAndCleansUpBothSides) {
    struct Case {
        const char* transfer;
        bool isUpload;
        bool isFolder;
    };
    const Case cases[] = {
        {"single-file upload", true, false},
        {"folder upload", true, true},
        {"single-file download", false, false},
        {"folder download", false, true},
    };
    const QByteArray large = noiseBytes(3'000'000);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.transfer);
        const QString name = QString("cancelled ") + c.transfer;
        const QString deviceSide = hostPath(deviceFolder()) + "/" + name;
        const QString localSide = localFolder() + "/" + name;
        // The previous items, which a cancelled transfer must leave as they are.
        const QString previous = c.isFolder ? "/big.bin" : "";
        writeFile(deviceSide + previous, c.isUpload ? "previous" : large);
        writeFile(localSide + previous, c.isUpload ? large : "previous");
        phone->control("rate 500000");
        runner->calls.clear();
        auto transfer =
            c.isUpload ? spawn(repository->upload(QUrl::fromLocalFile(localSide), deviceFolder(),
                                                  name, device, std::nullopt, {}))
                       : spawn(repository->download(
                             deviceItem(deviceFolder() + "/" + name, c.isFolder),
                             DownloadDestination::directory(QUrl::fromLocalFile(localFolder())),
                             name, device, std::nullopt, {}));
        const QString receiving = c.isUpload ? hostPath(deviceFolder()) : localFolder();
        ASSERT_TRUE(waitUntil(
            [&] { return !transferLeftovers(receiving).isEmpty() || transfer.isFinished(); }));
        ASSERT_FALSE(transfer.isFinished());
        transfer.cancel();
        EXPECT_TRUE(isError<CancelledError>(failureOf(transfer)));
        phone->control("rate off");

        EXPECT_TRUE(processesMentioning(".afm-").isEmpty())
            << processesMentioning(".afm-").join("\n").toStdString();
        EXPECT_TRUE(transferLeftovers(hostPath(deviceFolder())).isEmpty());
        EXPECT_TRUE(transferLeftovers(localFolder()).isEmpty());
        EXPECT_EQ(readFile((c.isUpload ? deviceSide : localSide) + previous), "previous");
    }
}

TEST_F(PhoneTransfers, failuresOnAReachablePhoneLeaveNoTemporaryItems) {
    writeFile(localFolder() + "/a.bin", noiseBytes(100'000));
    writeFile(hostPath(deviceFolder()) + "/blocker.txt", "a file, not a folder");
    struct Case {
        const char* reason;
        QString remoteFolder;
        QString name;
    };
    const Case cases[] = {
        // adb cannot create its copy below a file.
        {"push refused", deviceFolder() + "/blocker.txt", "a.bin"},
        // The copy arrives, but the swap cannot move it under a folder that does not exist.
        {"swap refused", deviceFolder(), "no such folder/a.bin"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        const std::exception_ptr failure =
            failureOf(spawn(repository->upload(QUrl::fromLocalFile(localFolder() + "/a.bin"),
                                               c.remoteFolder, c.name, device, std::nullopt, {})));
        EXPECT_TRUE(isError<DeviceRepositoryError>(failure));
        EXPECT_TRUE(transferLeftovers(hostPath(deviceFolder())).isEmpty());
    }
    EXPECT_EQ(entryNames(hostPath(deviceFolder())), QStringList{"blocker.txt"});
    EXPECT_EQ(readFile(hostPath(deviceFolder()) + "/blocker.txt"), "a file, not a folder");
}

TEST_F(PhoneTransfers, aDroppedConnectionSurfacesAdbsError) {
    struct Case {
        const char* transfer;
        bool isUpload;
    };
    const Case cases[] = {{"upload", true}, {"download", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.transfer);
        const QString name = QString("dropped ") + c.transfer + ".bin";
        writeFile((c.isUpload ? localFolder() : hostPath(deviceFolder())) + "/" + name,
                  noiseBytes(2'000'000));
        phone->control("drop after 300000");
        std::exception_ptr failure =
            c.isUpload
                ? failureOf(
                      spawn(repository->upload(QUrl::fromLocalFile(localFolder() + "/" + name),
                                               deviceFolder(), name, device, std::nullopt, {})))
                : failureOf(spawn(repository->download(
                      deviceItem(deviceFolder() + "/" + name, false),
                      DownloadDestination::directory(QUrl::fromLocalFile(localFolder() + "/down")),
                      name, device, std::nullopt, {})));
        ASSERT_TRUE(isError<DeviceRepositoryError>(failure));
        try {
            std::rethrow_exception(failure);
        } catch (const DeviceRepositoryError& error) {
            EXPECT_EQ(error.errorCase(), DeviceRepositoryError::Case::commandFailed);
            EXPECT_FALSE(error.message().trimmed().isEmpty());
            EXPECT_NE(error.message(), "The file transfer is incomplete");
        }
        EXPECT_TRUE(transferLeftovers(localFolder()).isEmpty());
        reconnect();
    }
}

TEST_F(PhoneTransfers, aPullThatLeavesAShortFileFailsAsIncomplete) {
    FreshPreferences preferences;
    AppLanguageManager::shared().setCurrent(AppLanguage::english);
    const QString album = hostPath(deviceFolder()) + "/album";
    writeFile(album + "/a.jpg", noiseBytes(2'000'000));
    phone->control("rate 500000");
    auto download = spawn(
        repository->download(deviceItem(deviceFolder() + "/album", true),
                             DownloadDestination::directory(QUrl::fromLocalFile(localFolder())),
                             "album", device, std::nullopt, {}));
    // The file shrinks on the phone while it is being read: adb ends the pull early and
    // reports success.
    ASSERT_TRUE(waitUntil([&] {
        const QStringList partial = transferLeftovers(localFolder());
        return (!partial.isEmpty() && QFileInfo(partial.first()).size() > 200'000) ||
               download.isFinished();
    }));
    ASSERT_FALSE(download.isFinished());
    QFile::resize(album + "/a.jpg", 100'000);
    phone->control("rate off");
    const std::exception_ptr failure = failureOf(download);
    ASSERT_TRUE(isError<DeviceRepositoryError>(failure));
    try {
        std::rethrow_exception(failure);
    } catch (const DeviceRepositoryError& error) {
        EXPECT_EQ(error, DeviceRepositoryError::commandFailed("The file transfer is incomplete"));
    }
    EXPECT_FALSE(QFileInfo::exists(localFolder() + "/album/a.jpg"));
    EXPECT_TRUE(transferLeftovers(localFolder()).isEmpty());
}

TEST_F(PhoneTransfers, progressFractionsNeverDecrease) {
    writeFile(localFolder() + "/one.bin", noiseBytes(2'000'000));
    writeFile(localFolder() + "/tree/a.bin", noiseBytes(1'000'000));
    writeFile(localFolder() + "/tree/b.bin", noiseBytes(1'000'000));
    phone->control("rate 1000000");
    struct Case {
        const char* transfer;
        std::function<Task<void>(TransferProgressHandler)> run;
    };
    const Case cases[] = {
        {"single-file upload",
         [&](TransferProgressHandler progress) {
             return repository->upload(QUrl::fromLocalFile(localFolder() + "/one.bin"),
                                       deviceFolder(), "one.bin", device, std::nullopt, progress);
         }},
        {"folder upload",
         [&](TransferProgressHandler progress) {
             return repository->upload(QUrl::fromLocalFile(localFolder() + "/tree"), deviceFolder(),
                                       "tree", device, std::nullopt, progress);
         }},
        {"single-file download",
         [&](TransferProgressHandler progress) {
             return repository->download(
                 deviceItem(deviceFolder() + "/one.bin", false),
                 DownloadDestination::directory(QUrl::fromLocalFile(localFolder() + "/down")),
                 "one.bin", device, std::nullopt, progress);
         }},
        {"folder download",
         [&](TransferProgressHandler progress) {
             return repository->download(
                 deviceItem(deviceFolder() + "/tree", true),
                 DownloadDestination::directory(QUrl::fromLocalFile(localFolder() + "/down")),
                 "tree", device, std::nullopt, progress);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.transfer);
        ProgressLog log;
        blockingWait(c.run(log.handler()));
        EXPECT_TRUE(log.neverDecreases());
        // The measured copy reports while adb works, before the final report.
        EXPECT_GE(log.reports.size(), 3);
        EXPECT_EQ(log.reports.last().fractionCompleted, 1.0);
    }
}
