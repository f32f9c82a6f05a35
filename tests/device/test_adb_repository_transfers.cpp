// The adb repository's transfers over a scripted runner: the command sequence of each kind of
// transfer, clean-up after every kind of failure, skipping, and the pollers on a manual clock.
// The local side is real files in a temporary folder; the scripted pull writes what adb would.
#include "ADBDeviceRepository.h"
#include "AppLanguageManager.h"
#include "BlockingWait.h"
#include "CancelledError.h"
#include "DeviceRepositoryError.h"
#include "FreshPreferences.h"
#include "LocalTestFiles.h"
#include "ManualClock.h"
#include "ScriptedRunner.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

const AndroidDevice phone{"SER1", "Pixel 7", AndroidDevice::State::connected,
                          ConnectionMethod::usb};


QString mediaScan(const QString& quotedPath) {
    return "content call --uri content://media --method scan_file --arg " + quotedPath +
           " 2>&1 | grep -q android.intent.extra.STREAM || find " + quotedPath +
           " -type f | while IFS= read -r f; do am broadcast -a "
           "android.intent.action.MEDIA_SCANNER_SCAN_FILE -d \"file://$f\" >/dev/null 2>&1; done";
}

QString swap(const QString& t, const QString& f, const QString& b) {
    return "if [ -e " + f + " ]; then mv " + f + " " + b + " || exit 1; fi; if mv " + t + " " + f +
           "; then rm -rf " + b + "; else [ -e " + b + " ] && mv " + b + " " + f + "; exit 1; fi";
}

std::exception_ptr failureOf(const TaskHandle<void>& handle) {
    try {
        blockingWait(handle);
    } catch (...) {
        return std::current_exception();
    }
    return {};
}

std::exception_ptr failureOf(Task<void> task) {
    return failureOf(spawn(std::move(task)));
}

std::optional<DeviceRepositoryError> deviceError(const std::exception_ptr& failure) {
    try {
        if (failure) {
            std::rethrow_exception(failure);
        }
    } catch (const DeviceRepositoryError& error) {
        return error;
    } catch (...) {
    }
    return std::nullopt;
}

class ADBRepositoryTransfers : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(local.isValid());
        AppLanguageManager::shared().setCurrent(AppLanguage::english);
    }

    // The temporary device name the transfer chose, found in its push or pull.
    QString temporaryOf(const QString& command) const {
        for (const QStringList& call : runner.calls) {
            if (call.size() == 5 && call.at(2) == command) {
                return call.at(command == "push" ? 4 : 3);
            }
        }
        return {};
    }

    TransferProgressHandler recorder() {
        return [this](const TransferProgress& progress) { reports.append(progress); };
    }

    FreshPreferences preferences;
    ScriptedRunner runner;
    // The repository's pollers sleep on this clock; it moves only when a test says so.
    ManualClock clock;
    ADBDeviceRepository repository{runner, clock};
    QTemporaryDir local;
    QList<TransferProgress> reports;
};

const QRegularExpression
    transferIdentifier("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$");

} // namespace

TEST_F(ADBRepositoryTransfers, singleFileUploadPushesVerifiesSwapsAndAnnounces) {
    const QString source = local.filePath("Mum's song.mp3");
    writeFile(source, "hello");
    runner.during = [](QStringList arguments,
                       std::function<void(const QString&)> onOutput) -> Task<void> {
        if (arguments.at(2) == "push" && onOutput) {
            onOutput("[ 4");
            onOutput("0%] " + arguments.at(3) + "\r");
        }
        co_return;
    };
    runner.answer = [](const QStringList& arguments) {
        return succeeded(shellCommandOf(arguments).startsWith("stat") ? "5\n" : "");
    };
    blockingWait(repository.upload(QUrl::fromLocalFile(source), "/sdcard/Music/", "it's.mp3", phone,
                                   std::nullopt, recorder()));

    const QString temporary = temporaryOf("push");
    ASSERT_TRUE(temporary.startsWith("/sdcard/Music/.afm-transfer-")) << temporary.toStdString();
    ASSERT_TRUE(transferIdentifier.match(temporary).hasMatch());
    const QString identifier = temporary.section("-transfer-", 1);
    const QString t = "'" + temporary + "'";
    const QString f = R"('/sdcard/Music/it'\''s.mp3')";
    const QString b = "'/sdcard/Music/.afm-backup-" + identifier + "'";
    EXPECT_EQ(runner.calls.at(0), (QStringList{"-s", "SER1", "push", source, temporary}));
    EXPECT_EQ(runner.shellCommands(),
              (QStringList{"stat -c '%s' " + t + " 2>/dev/null", swap(t, f, b), mediaScan(f)}));
    EXPECT_EQ(reports, (QList<TransferProgress>{{0.4, "Mum's song.mp3"}, {1.0, "Mum's song.mp3"}}));
}

TEST_F(ADBRepositoryTransfers, aFailedSingleFileUploadRemovesItsCopyAndKeepsTheError) {
    struct Case {
        const char* reason;
        std::function<ADBCommandResult(const QString& shellCommand)> answer;
        QString error;
        bool swapped;
    };
    const Case cases[] = {
        {"push refused",
         [](const QString& command) {
             return command.isEmpty() ? failed(1, "adb: error: connect failed: closed\n")
                                      : succeeded();
         },
         "adb: error: connect failed: closed\n", false},
        {"the copy came out short",
         [](const QString& command) { return succeeded(command.startsWith("stat") ? "4" : ""); },
         "The file transfer is incomplete", false},
        {"the copy cannot be measured",
         [](const QString& command) {
             return command.startsWith("stat") ? failed(1, "") : succeeded();
         },
         "The file transfer is incomplete", false},
        {"the swap refused",
         [](const QString& command) {
             if (command.startsWith("stat")) {
                 return succeeded("5");
             }
             return command.startsWith("if [ -e") ? failed(1, "mv: Read-only file system\n")
                                                  : succeeded();
         },
         "mv: Read-only file system\n", true},
    };
    const QString source = local.filePath("a.bin");
    writeFile(source, "hello");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        runner.calls.clear();
        runner.answer = [&](const QStringList& arguments) {
            return c.answer(shellCommandOf(arguments));
        };
        const auto failure = failureOf(repository.upload(QUrl::fromLocalFile(source), "/sdcard",
                                                         "a.bin", phone, std::nullopt, {}));
        EXPECT_EQ(deviceError(failure), DeviceRepositoryError::commandFailed(c.error));
        const QStringList commands = runner.shellCommands();
        ASSERT_FALSE(commands.isEmpty());
        EXPECT_EQ(commands.last(), "rm -rf '" + temporaryOf("push") + "'");
        EXPECT_EQ(commands.filter("if [ -e").size(), c.swapped ? 1 : 0);
        EXPECT_TRUE(commands.filter("content call").isEmpty());
    }
}

TEST_F(ADBRepositoryTransfers, aCancelledUploadEndsItsPushAndStillCleansUp) {
    ManualClock adbClock;
    runner.during = [&](QStringList arguments, std::function<void(const QString&)>) -> Task<void> {
        if (arguments.at(2) == "push") {
            co_await adbClock.sleep(1h);
        }
    };
    const QString source = local.filePath("a.bin");
    writeFile(source, "hello");
    auto upload = spawn(repository.upload(QUrl::fromLocalFile(source), "/sdcard", "a.bin", phone,
                                          std::nullopt, {}));
    processEventsUntil([&] { return adbClock.sleeperCount() == 1; });
    upload.cancel();
    EXPECT_TRUE(isCancellation(failureOf(upload)));
    // The clean-up ran in a task of its own, untouched by the cancellation.
    EXPECT_EQ(runner.shellCommands(), QStringList{"rm -rf '" + temporaryOf("push") + "'"});
    EXPECT_EQ(clock.sleeperCount(), 0);
}

TEST_F(ADBRepositoryTransfers, mediaScansOnlyForSharedStorage) {
    const QString source = local.filePath("a.bin");
    writeFile(source, "hello");
    runner.answer = [](const QStringList& arguments) {
        return succeeded(shellCommandOf(arguments).startsWith("stat") ? "5" : "");
    };
    const struct {
        const char* folder;
        bool scanned;
    } cases[] = {{"/sdcard", true},
                 {"/storage/1234-ABCD/Music", true},
                 {"/data/local/tmp", false},
                 {"/sdcardx", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        runner.calls.clear();
        blockingWait(repository.upload(QUrl::fromLocalFile(source), c.folder, "a.bin", phone,
                                       std::nullopt, {}));
        EXPECT_EQ(runner.shellCommands().filter("content call").size(), c.scanned ? 1 : 0);
    }
}

TEST_F(ADBRepositoryTransfers, folderUploadSkipsFilesAlreadyThereWithTheSameSize) {
    const QString source = local.filePath("tree");
    writeFile(source + "/a.bin", "abc");
    writeFile(source + "/sub/b.bin", "abcd");
    QDir().mkpath(source + "/e");
    runner.answer = [](const QStringList& arguments) {
        const QString command = shellCommandOf(arguments);
        if (command.startsWith("find")) {
            return succeeded("directory|4096|/sdcard/X/tree/sub\n"
                             "regular file|3|/sdcard/X/tree/a.bin\n"
                             "regular file|9|/sdcard/X/tree/sub/b.bin\n"
                             "afm-tree-end\n");
        }
        return succeeded(command.startsWith("stat") ? "4" : "");
    };
    blockingWait(repository.upload(QUrl::fromLocalFile(source), "/sdcard/X", "tree", phone,
                                   std::nullopt, recorder()));

    const QString temporary = temporaryOf("push");
    ASSERT_TRUE(temporary.startsWith("/sdcard/X/tree/sub/.b.bin.afm-partial-"));
    const QString identifier = temporary.section(".afm-partial-", 1);
    const QString r = "'/sdcard/X/tree'";
    const QString t = "'" + temporary + "'";
    EXPECT_EQ(runner.shellCommands(),
              (QStringList{"if [ -e " + r + " ] && [ ! -d " + r + " ]; then rm -f " + r +
                               " || exit 1; fi; mkdir -p " + r,
                           "find " + r +
                               " -mindepth 1 -exec stat -c '%F|%s|%n' {} \\; && echo afm-tree-end",
                           "mkdir -p '/sdcard/X/tree/e'", "mkdir -p '/sdcard/X/tree/sub'",
                           "mkdir -p '/sdcard/X/tree/sub'", "stat -c '%s' " + t + " 2>/dev/null",
                           swap(t, "'/sdcard/X/tree/sub/b.bin'",
                                "'/sdcard/X/tree/sub/.afm-backup-" + identifier + "'"),
                           mediaScan(r)}));
    qsizetype pushes = 0;
    for (const QStringList& call : runner.calls) {
        pushes += call.at(2) == "push" ? 1 : 0;
    }
    EXPECT_EQ(pushes, 1);
    EXPECT_EQ(reports,
              (QList<TransferProgress>{{3.0 / 7, "a.bin"}, {1.0, "b.bin"}, {1.0, "tree"}}));

    // Without the listing of what is there, nothing is skipped.
    runner.calls.clear();
    runner.answer = [](const QStringList& arguments) {
        const QString command = shellCommandOf(arguments);
        if (command.startsWith("find")) {
            return failed(1, "find: Permission denied\n");
        }
        if (command.startsWith("stat")) {
            return succeeded(command.contains(".a.bin.") ? "3" : "4");
        }
        return succeeded();
    };
    blockingWait(repository.upload(QUrl::fromLocalFile(source), "/sdcard/X", "tree", phone,
                                   std::nullopt, {}));
    pushes = 0;
    for (const QStringList& call : runner.calls) {
        pushes += call.at(2) == "push" ? 1 : 0;
    }
    EXPECT_EQ(pushes, 2);
}

TEST_F(ADBRepositoryTransfers, aFailedFolderUploadCleansUpAndStillAnnouncesWhatArrived) {
    const QString source = local.filePath("tree");
    writeFile(source + "/a.bin", "abc");
    writeFile(source + "/b.bin", "abcd");
    runner.answer = [](const QStringList& arguments) {
        if (arguments.at(2) == "push" && arguments.at(3).endsWith("b.bin")) {
            return failed(1, "adb: error: failed to copy: closed\n");
        }
        return succeeded(shellCommandOf(arguments).startsWith("stat") ? "3" : "");
    };
    const auto failure = failureOf(
        repository.upload(QUrl::fromLocalFile(source), "/sdcard", "tree", phone, std::nullopt, {}));
    EXPECT_EQ(deviceError(failure),
              DeviceRepositoryError::commandFailed("adb: error: failed to copy: closed\n"));
    const QStringList commands = runner.shellCommands();
    ASSERT_GE(commands.size(), 2);
    EXPECT_TRUE(
        commands.at(commands.size() - 2).startsWith("rm -rf '/sdcard/tree/.b.bin.afm-partial-"));
    EXPECT_EQ(commands.last(), mediaScan("'/sdcard/tree'"));
}

TEST_F(ADBRepositoryTransfers, singleFileDownloadMovesTheCopyIntoPlaceAndClearsItsFolder) {
    struct Case {
        const char* reason;
        QByteArray pulled;
        ADBCommandResult pullResult;
        std::optional<QString> error;
    };
    const Case cases[] = {
        {"complete copy", "new content", succeeded(), std::nullopt},
        {"pull refused", "", failed(1, "adb: error: remote object does not exist\n"),
         "adb: error: remote object does not exist\n"},
        {"short copy reported as success", "new", succeeded(), "The file transfer is incomplete"},
    };
    const QString destination = local.filePath("Downloads");
    const DeviceFile file{"it's.jpg", "/sdcard/DCIM/it's.jpg", false, 11, {}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        writeFile(destination + "/renamed.jpg", "previous");
        runner.calls.clear();
        runner.during = [&](QStringList arguments,
                            std::function<void(const QString&)>) -> Task<void> {
            if (arguments.at(2) == "pull" && !c.pulled.isEmpty()) {
                writeFile(arguments.at(4) + "/it's.jpg", c.pulled);
            }
            co_return;
        };
        runner.answer = [&](const QStringList& arguments) {
            const QString command = shellCommandOf(arguments);
            if (arguments.at(2) == "pull") {
                return c.pullResult;
            }
            return succeeded(command.startsWith("du") ? "12\t/sdcard/DCIM/it's.jpg\n" : "11\n");
        };
        const auto failure = failureOf(repository.download(
            file, DownloadDestination::directory(QUrl::fromLocalFile(destination)), "renamed.jpg",
            phone, std::nullopt, {}));
        if (c.error) {
            EXPECT_EQ(deviceError(failure), DeviceRepositoryError::commandFailed(*c.error));
            EXPECT_EQ(readFile(destination + "/renamed.jpg"), "previous");
        } else {
            EXPECT_FALSE(failure);
            EXPECT_EQ(readFile(destination + "/renamed.jpg"), "new content");
        }
        EXPECT_EQ(entryNames(destination), QStringList{"renamed.jpg"});
        ASSERT_GE(runner.calls.size(), 2);
        EXPECT_EQ(runner.calls.at(0),
                  (QStringList{"-s", "SER1", "shell",
                               R"(du -sk '/sdcard/DCIM/it'\''s.jpg' 2>/dev/null)"}));
        EXPECT_EQ(runner.calls.at(1).mid(0, 4),
                  (QStringList{"-s", "SER1", "pull", "/sdcard/DCIM/it's.jpg"}));
        EXPECT_TRUE(runner.calls.at(1).at(4).startsWith(destination + "/.afm-transfer-"));
    }
}

TEST_F(ADBRepositoryTransfers, folderDownloadSkipsSameSizeFilesAndRefusesShortCopies) {
    const QString target = local.filePath("out");
    writeFile(target + "/album/same.jpg", "12345");
    writeFile(target + "/album/changed.jpg", "old");
    const DeviceFile album{"album", "/sdcard/album/", true, std::nullopt, {}};
    QByteArray shortCopy;
    runner.during = [&](QStringList arguments, std::function<void(const QString&)>) -> Task<void> {
        if (arguments.at(2) == "pull") {
            writeFile(arguments.at(4),
                      arguments.at(3).endsWith("short.jpg") ? shortCopy : "abcdef");
        }
        co_return;
    };
    runner.answer = [](const QStringList&) {
        return succeeded("regular file|5|/sdcard/album/same.jpg\n"
                         "regular file|6|/sdcard/album/changed.jpg\n"
                         "directory|4096|/sdcard/album/deep\n"
                         "regular file|6|/sdcard/album/deep/short.jpg\n"
                         "regular file|1|/sdcard/album/../escape.jpg\n"
                         "regular file|1|/sdcard/elsewhere.jpg\n"
                         "afm-tree-end\n");
    };
    shortCopy = "abcdef";
    blockingWait(repository.download(album,
                                     DownloadDestination::directory(QUrl::fromLocalFile(target)),
                                     "album", phone, std::nullopt, recorder()));
    EXPECT_EQ(runner.shellCommands(),
              QStringList{"find '/sdcard/album' -mindepth 1 -exec stat -c '%F|%s|%n' {} \\; "
                          "&& echo afm-tree-end"});
    QStringList pulled;
    for (const QStringList& call : runner.calls) {
        if (call.at(2) == "pull") {
            pulled.append(call.at(3));
        }
    }
    EXPECT_EQ(pulled, (QStringList{"/sdcard/album/changed.jpg", "/sdcard/album/deep/short.jpg"}));
    EXPECT_EQ(readFile(target + "/album/changed.jpg"), "abcdef");
    EXPECT_EQ(readFile(target + "/album/same.jpg"), "12345");
    EXPECT_FALSE(QFileInfo::exists(local.filePath("escape.jpg")));
    EXPECT_EQ(reports.last(), (TransferProgress{1.0, "album"}));

    // A copy shorter than the device's file fails the transfer and is not kept.
    QFile::remove(target + "/album/deep/short.jpg");
    shortCopy = "abc";
    reports.clear();
    const auto failure = failureOf(
        repository.download(album, DownloadDestination::directory(QUrl::fromLocalFile(target)),
                            "album", phone, std::nullopt, {}));
    EXPECT_EQ(deviceError(failure),
              DeviceRepositoryError::commandFailed("The file transfer is incomplete"));
    EXPECT_EQ(entryNames(target + "/album/deep"), QStringList{});
}

TEST_F(ADBRepositoryTransfers, pollersReportTheMeasuredCopyOnTheirPeriod) {
    ManualClock adbClock;
    runner.during = [&](QStringList arguments, std::function<void(const QString&)>) -> Task<void> {
        if (arguments.at(2) == "push") {
            co_await adbClock.sleep(1s);
        }
    };
    runner.answer = [](const QStringList& arguments) {
        const QString command = shellCommandOf(arguments);
        if (command.startsWith("du")) {
            return succeeded("1\t/sdcard/.afm-transfer-x\n");
        }
        return succeeded(command.startsWith("stat") ? "5" : "");
    };
    const QString source = local.filePath("a.bin");
    writeFile(source, "hello");
    auto upload = spawn(repository.upload(QUrl::fromLocalFile(source), "/sdcard", "a.bin", phone,
                                          2048, recorder()));
    processEventsUntil([&] { return clock.sleeperCount() == 1; });
    // Not yet a whole period: nothing is measured.
    clock.advance(400ms);
    QCoreApplication::processEvents();
    EXPECT_TRUE(runner.shellCommands().isEmpty());
    clock.advance(50ms);
    processEventsUntil([&] { return !reports.isEmpty(); });
    EXPECT_EQ(runner.shellCommands(),
              QStringList{"du -sk '" + temporaryOf("push") + "' 2>/dev/null"});
    // 1 KiB of an expected 2 KiB.
    EXPECT_EQ(reports, (QList<TransferProgress>{{0.5, std::nullopt}}));
    adbClock.advance(1s);
    blockingWait(upload);
    EXPECT_EQ(reports.last(), (TransferProgress{1.0, "a.bin"}));
    // The poller ended with the transfer.
    EXPECT_EQ(clock.sleeperCount(), 0);
}

TEST_F(ADBRepositoryTransfers, aTransferWithoutAKnownSizeRunsNoPoller) {
    const QString source = local.filePath("empty.bin");
    writeFile(source, {});
    runner.answer = [](const QStringList& arguments) {
        return succeeded(shellCommandOf(arguments).startsWith("stat") ? "0" : "");
    };
    auto upload = spawn(repository.upload(QUrl::fromLocalFile(source), "/sdcard", "empty.bin",
                                          phone, std::nullopt, recorder()));
    blockingWait(upload);
    EXPECT_EQ(reports, (QList<TransferProgress>{{1.0, "empty.bin"}}));
    EXPECT_EQ(clock.sleeperCount(), 0);
}

// adb reports success for a shell whose connection dropped, with whatever output had arrived.
TEST_F(ADBRepositoryTransfers, aCutTreeListingIsNotTakenForTheWholeTree) {
    struct Case {
        const char* title;
        const char* output;
    };
    const Case cases[] = {
        {"nothing arrived", ""},
        {"cut between lines", "regular file|6|/sdcard/album/a.jpg\n"},
        {"cut inside a line", "regular file|6|/sdcard/album/a.jpg\nregular file|6|/sdcard/alb"},
    };
    const DeviceFile album{"album", "/sdcard/album", true, std::nullopt, {}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        runner.calls.clear();
        const QByteArray output = c.output;
        runner.answer = [output](const QStringList& arguments) {
            return succeeded(shellCommandOf(arguments).startsWith("find") ? output : "");
        };
        const QString target = local.filePath(c.title);
        const auto failure = failureOf(
            repository.download(album, DownloadDestination::directory(QUrl::fromLocalFile(target)),
                                "album", phone, std::nullopt, {}));
        EXPECT_EQ(deviceError(failure),
                  DeviceRepositoryError::commandFailed("The file transfer is incomplete"));
        for (const QStringList& call : runner.calls) {
            EXPECT_NE(call.at(2), "pull");
        }
    }
}
