// The adb repository's discovery and file operations over a scripted runner: the exact
// argument lists, the reading of the answers and every branch of status checking.
#include "ADBDeviceRepository.h"
#include "AppLanguageManager.h"
#include "BlockingWait.h"
#include "DeviceRepositoryError.h"
#include "FreshPreferences.h"
#include "ScriptedRunner.h"

#include <gtest/gtest.h>

namespace {

const AndroidDevice usbDevice{"SER1", "Pixel 7", AndroidDevice::State::connected,
                              ConnectionMethod::usb};
const AndroidDevice wifiDevice{"10.0.0.5:5555", "10.0.0.5", AndroidDevice::State::connected,
                               ConnectionMethod::wifi};

QStringList shell(const QString& command) {
    return {"-s", "SER1", "shell", command};
}

DeviceFile file(const QString& path, bool isDirectory = false) {
    return {path.section('/', -1), path, isDirectory, std::nullopt, std::nullopt};
}

// Awaits an operation for its effects only.
template <typename T> Task<void> discarded(Task<T> task) {
    co_await std::move(task);
}

template <typename T> DeviceRepositoryError deviceErrorOf(Task<T> task) {
    try {
        blockingWait(std::move(task));
    } catch (const DeviceRepositoryError& error) {
        return error;
    }
    ADD_FAILURE() << "the operation did not fail with a DeviceRepositoryError";
    return DeviceRepositoryError::noDevice();
}

class ADBRepositoryOperations : public ::testing::Test {
protected:
    ScriptedRunner runner;
    ADBDeviceRepository repository{runner};
    FreshPreferences preferences;
};

} // namespace

TEST_F(ADBRepositoryOperations, runsExactlyTheseArgumentLists) {
    struct Case {
        const char* operation;
        std::function<Task<void>(ADBDeviceRepository&)> run;
        QList<QStringList> calls;
    };
    const QString listing =
        R"(for f in '/sdcard/Mum'\''s photos'/* '/sdcard/Mum'\''s photos'/.[!.]* )"
        R"('/sdcard/Mum'\''s photos'/..?*; do [ -e "$f" ] || continue; )"
        R"(stat -c '%F|%s|%Y|%n' "$f"; done)";
    const Case cases[] = {
        {"devices", [](auto& r) { return discarded(r.devices()); }, {{"devices", "-l"}}},
        {"connect",
         [](auto& r) { return discarded(r.connect("10.0.0.5", "5555")); },
         {{"connect", "10.0.0.5:5555"}}},
        {"disconnect over Wi-Fi",
         [](auto& r) { return discarded(r.disconnect(wifiDevice)); },
         {{"disconnect", "10.0.0.5:5555"}}},
        {"disconnect over USB runs nothing",
         [](auto& r) { return discarded(r.disconnect(usbDevice)); },
         {}},
        {"fetchDeviceInfo",
         [](auto& r) { return discarded(r.fetchDeviceInfo(usbDevice)); },
         {shell(R"x(printf '%s\n%s\n' "$(getprop ro.product.model)" )x"
                R"x("$(getprop ro.build.version.release)")x"),
          shell("dumpsys battery"), shell("df -k /sdcard | tail -n 1")}},
        {"directoryExists",
         [](auto& r) { return discarded(r.directoryExists("/sdcard/Mum's photos", usbDevice)); },
         {shell(R"(test -d '/sdcard/Mum'\''s photos')")}},
        {"listFiles",
         [](auto& r) { return discarded(r.listFiles("/sdcard/Mum's photos", usbDevice)); },
         {shell(listing)}},
        {"totalSize of files and folders",
         [](auto& r) {
             return discarded(
                 r.totalSize({file("/sdcard/a b.jpg"), file("/sdcard/it's", true)}, usbDevice));
         },
         {shell(R"(du -sk '/sdcard/a b.jpg' '/sdcard/it'\''s' 2>/dev/null)")}},
        {"totalSize of nothing runs nothing",
         [](auto& r) { return discarded(r.totalSize({}, usbDevice)); },
         {}},
        {"availableSpace",
         [](auto& r) { return discarded(r.availableSpace("/sdcard/Music", usbDevice)); },
         {shell("df -k '/sdcard/Music' 2>/dev/null | tail -n 1")}},
        {"readFilePrefix reads through exec-out",
         [](auto& r) {
             return discarded(r.readFilePrefix(file("/sdcard/DCIM/-1.jpg"), 65536, usbDevice));
         },
         {{"-s", "SER1", "exec-out", "head -c 65536 '/sdcard/DCIM/-1.jpg' 2>/dev/null"},
          shell("head -c 1 '/sdcard/DCIM/-1.jpg' >/dev/null")}},
        {"readFilePrefix of a folder runs nothing",
         [](auto& r) {
             return discarded(r.readFilePrefix(file("/sdcard/DCIM", true), 65536, usbDevice));
         },
         {}},
        {"readFilePrefix of no bytes runs nothing",
         [](auto& r) { return discarded(r.readFilePrefix(file("/sdcard/a.jpg"), 0, usbDevice)); },
         {}},
        {"createFolder joins with one slash",
         [](auto& r) { return discarded(r.createFolder("Новая | папка", "/sdcard/", usbDevice)); },
         {shell("mkdir -p '/sdcard/Новая | папка'")}},
        {"deleteItem of a file",
         [](auto& r) { return discarded(r.deleteItem(file("/sdcard/-rf"), usbDevice)); },
         {shell("rm -f '/sdcard/-rf'")}},
        {"deleteItem of a folder",
         [](auto& r) {
             return discarded(r.deleteItem(file("/sdcard/Mum's photos", true), usbDevice));
         },
         {shell(R"(rm -rf '/sdcard/Mum'\''s photos')")}},
    };
    runner.answer = [](const QStringList& arguments) {
        return succeeded(arguments.first() == "connect" ? "connected to 10.0.0.5:5555\n" : "");
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.operation);
        runner.calls.clear();
        blockingWait(c.run(repository));
        EXPECT_EQ(runner.calls, c.calls);
    }
}

TEST_F(ADBRepositoryOperations, renameTestsTheNewNameThenMoves) {
    struct Case {
        const char* reason;
        qint32 existsStatus;
        ADBCommandResult moveResult;
        QStringList commands;
        std::optional<DeviceRepositoryError> error;
    };
    const QString test = R"(test -e '/sdcard/DCIM/Mum'\''s IMG_2.jpg')";
    const QString move = R"(mv '/sdcard/DCIM/IMG_1.jpg' '/sdcard/DCIM/Mum'\''s IMG_2.jpg')";
    const Case cases[] = {
        {"free name", 1, succeeded(), {test, move}, std::nullopt},
        {"taken name: no move", 0, succeeded(), {test}, DeviceRepositoryError::itemAlreadyExists()},
        {"move refused",
         1,
         failed(1, "mv: Permission denied\n"),
         {test, move},
         DeviceRepositoryError::commandFailed("mv: Permission denied\n")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        runner.calls.clear();
        runner.answer = [&](const QStringList& arguments) {
            return shellCommandOf(arguments).startsWith("test -e") ? failed(c.existsStatus, "")
                                                                   : c.moveResult;
        };
        auto rename =
            repository.renameItem(file("/sdcard/DCIM/IMG_1.jpg"), "Mum's IMG_2.jpg", usbDevice);
        if (c.error) {
            EXPECT_EQ(deviceErrorOf(std::move(rename)), *c.error);
        } else {
            blockingWait(std::move(rename));
        }
        EXPECT_EQ(runner.shellCommands(), c.commands);
    }
}

TEST_F(ADBRepositoryOperations, statusCheckingTakesTheToolsOwnWords) {
    struct Case {
        const char* reason;
        ADBCommandResult result;
        std::optional<QString> message;
    };
    const Case cases[] = {
        {"success", succeeded("ignored"), std::nullopt},
        {"success with complaints on standard error", failed(0, "warning: x\n"), std::nullopt},
        {"error output first, untrimmed", failed(1, "error: device offline\n", "out"),
         "error: device offline\n"},
        {"standard output when the error output is empty", failed(1, "", "mkdir: failed\n"),
         "mkdir: failed\n"},
        {"standard output when the error output is not text", failed(1, "\xff\xfe", "out"), "out"},
        {"nothing at all", failed(255, ""), ""},
        {"a negative status", failed(-1, "killed"), "killed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        runner.answer = [&](const QStringList&) { return c.result; };
        auto create = repository.createFolder("x", "/sdcard", usbDevice);
        if (c.message) {
            EXPECT_EQ(deviceErrorOf(std::move(create)),
                      DeviceRepositoryError::commandFailed(*c.message));
        } else {
            blockingWait(std::move(create));
        }
    }
}

TEST_F(ADBRepositoryOperations, operationsThatDoNotCheckTheStatus) {
    runner.answer = [](const QStringList&) { return failed(1, "error: device 'SER1' not found"); };
    EXPECT_FALSE(blockingWait(repository.directoryExists("/sdcard/DCIM", usbDevice)));
    EXPECT_EQ(blockingWait(repository.totalSize({file("/sdcard/gone")}, usbDevice)), std::nullopt);
    blockingWait(repository.disconnect(wifiDevice));

    runner.answer = [](const QStringList&) { return succeeded(); };
    EXPECT_TRUE(blockingWait(repository.directoryExists("/sdcard/DCIM", usbDevice)));
}

TEST_F(ADBRepositoryOperations, theRunnersOwnFailuresPassThrough) {
    runner.answer = [](const QStringList&) -> ADBCommandResult {
        throw DeviceRepositoryError::adbNotFound();
    };
    EXPECT_EQ(deviceErrorOf(repository.devices()), DeviceRepositoryError::adbNotFound());
    EXPECT_EQ(deviceErrorOf(repository.directoryExists("/sdcard", usbDevice)),
              DeviceRepositoryError::adbNotFound());
    EXPECT_EQ(deviceErrorOf(repository.totalSize({file("/sdcard/a")}, usbDevice)),
              DeviceRepositoryError::adbNotFound());
    // Leaving a device never fails, not even without adb.
    blockingWait(repository.disconnect(wifiDevice));
}

TEST_F(ADBRepositoryOperations, connectOutcomes) {
    struct Case {
        const char* reason;
        ADBCommandResult result;
        std::optional<DeviceRepositoryError> error;
    };
    const Case cases[] = {
        {"connected", succeeded("connected to 10.0.0.5:5555\n"), std::nullopt},
        {"already connected", succeeded("already connected to 10.0.0.5:5555\n"), std::nullopt},
        {"the word anywhere, any case", succeeded("Device is CONNECTED now"), std::nullopt},
        {"refused with status 0",
         succeeded("failed to connect to '10.0.0.5:5555': Connection refused\n"),
         DeviceRepositoryError::connectionFailed(
             "failed to connect to '10.0.0.5:5555': Connection refused")},
        {"nothing said", succeeded("  \n"), DeviceRepositoryError::connectionFailed("")},
        {"non-zero status", failed(1, "error: cannot connect to daemon\n"),
         DeviceRepositoryError::commandFailed("error: cannot connect to daemon\n")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        runner.answer = [&](const QStringList&) { return c.result; };
        if (c.error) {
            EXPECT_EQ(deviceErrorOf(repository.connect("10.0.0.5", "5555")), *c.error);
        } else {
            EXPECT_EQ(blockingWait(repository.connect("10.0.0.5", "5555")),
                      (AndroidDevice{"10.0.0.5:5555", "10.0.0.5", AndroidDevice::State::connected,
                                     ConnectionMethod::wifi}));
        }
    }
}

TEST_F(ADBRepositoryOperations, devicesReadsTheListing) {
    runner.answer = [](const QStringList&) {
        return succeeded("List of devices attached\n"
                         "SER1 device usb:1 model:Tab_S9_FE\n"
                         "SER2 unauthorized usb:1-2 transport_id:2\n\n");
    };
    EXPECT_EQ(blockingWait(repository.devices()),
              (QList<AndroidDevice>{
                  {"SER1", "Tab S9 FE", AndroidDevice::State::connected, ConnectionMethod::usb},
                  {"SER2", "SER2", AndroidDevice::State::unauthorized, ConnectionMethod::usb}}));
    runner.answer = [](const QStringList&) { return failed(1, "adb: daemon not running"); };
    EXPECT_EQ(deviceErrorOf(repository.devices()),
              DeviceRepositoryError::commandFailed("adb: daemon not running"));
}

TEST_F(ADBRepositoryOperations, deviceInfoFromItsThreeRuns) {
    struct Case {
        const char* reason;
        QByteArray identity;
        QByteArray battery;
        QByteArray storage;
        DeviceInfo info;
    };
    const Case cases[] = {
        {"everything reported",
         "Pixel 7\n14\n",
         "  status: 2\n  level: 78\n",
         "/dev/fuse 1000 750 250 75% /storage/emulated\n",
         {"Pixel 7", "14", 78, true, 256'000, 1'024'000}},
        {"empty model and version fall back",
         "\n\n",
         "  status: 3\n",
         "",
         {"Pixel 7", "\u2014", std::nullopt, false, std::nullopt, std::nullopt}},
        {"no second line",
         "SM-A546B",
         "",
         "/dev/fuse 1000\n",
         {"SM-A546B", "\u2014", std::nullopt, false, std::nullopt, 1'024'000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        runner.answer = [&](const QStringList& arguments) {
            const QString command = shellCommandOf(arguments);
            if (command.startsWith("printf")) {
                return succeeded(c.identity);
            }
            return succeeded(command.startsWith("dumpsys") ? c.battery : c.storage);
        };
        EXPECT_EQ(blockingWait(repository.fetchDeviceInfo(usbDevice)), c.info);
    }

    // The first failing run ends the operation with its error.
    runner.calls.clear();
    runner.answer = [](const QStringList& arguments) {
        return shellCommandOf(arguments).startsWith("dumpsys") ? failed(1, "error: closed")
                                                               : succeeded("x\n1\n");
    };
    EXPECT_EQ(deviceErrorOf(repository.fetchDeviceInfo(usbDevice)),
              DeviceRepositoryError::commandFailed("error: closed"));
    EXPECT_EQ(runner.calls.size(), 2);
}

TEST_F(ADBRepositoryOperations, listFilesParsesAndSortsFoldersFirstInTheStandardOrder) {
    runner.answer = [](const QStringList&) {
        return succeeded("regular file|5|1717334400|/sdcard/Music/Track 10.mp3\n"
                         "regular file|6|1717334400|/sdcard/Music/track 2.mp3\n"
                         "directory|3488|1717334400|/sdcard/Music/Albums\n"
                         "regular file|1|1|/sdcard/Music/.hidden\n"
                         "directory|3488|1|/sdcard/Music/..data\n"
                         "regular file|7|1|/sdcard/Music/a|b.txt\n"
                         "directory|3488|1|/sdcard/Music/.\n"
                         "stat: garbage\n"
                         "\n");
    };
    QStringList names;
    for (const DeviceFile& entry : blockingWait(repository.listFiles("/sdcard/Music", usbDevice))) {
        names.append(entry.name);
    }
    EXPECT_EQ(names, (QStringList{"..data", "Albums", ".hidden", "a|b.txt", "track 2.mp3",
                                  "Track 10.mp3"}));

    runner.answer = [](const QStringList&) { return succeeded(); };
    EXPECT_TRUE(blockingWait(repository.listFiles("/sdcard/empty", usbDevice)).isEmpty());

    runner.answer = [](const QStringList&) {
        return failed(1, "stat: '/sdcard/x/y': Permission denied\n", "directory|1|1|/sdcard/x/a\n");
    };
    EXPECT_EQ(deviceErrorOf(repository.listFiles("/sdcard/x", usbDevice)),
              DeviceRepositoryError::commandFailed("stat: '/sdcard/x/y': Permission denied\n"));
}

TEST_F(ADBRepositoryOperations, sizesFromDuAndDf) {
    struct TotalCase {
        const char* reason;
        ADBCommandResult result;
        std::optional<qint64> total;
    };
    const TotalCase totals[] = {
        {"kibibytes summed", succeeded("12\t/sdcard/a\n30\t/sdcard/b\n"), 42 * 1024},
        {"lines without a number skipped", succeeded("12\t/sdcard/a\ndu: warning\n"), 12 * 1024},
        {"no number at all", succeeded("du: nothing\n"), std::nullopt},
        {"a path gone", failed(1, "", "12\t/sdcard/a\n"), std::nullopt},
    };
    for (const TotalCase& c : totals) {
        SCOPED_TRACE(c.reason);
        runner.answer = [&](const QStringList&) { return c.result; };
        EXPECT_EQ(
            blockingWait(repository.totalSize({file("/sdcard/a"), file("/sdcard/b")}, usbDevice)),
            c.total);
    }

    struct SpaceCase {
        const char* reason;
        QByteArray output;
        std::optional<qint64> available;
    };
    const SpaceCase spaces[] = {
        {"fourth column", "/dev/fuse 1000 750 250 75% /storage/emulated\n", 256'000},
        {"too short", "/dev/fuse 1000 750\n", std::nullopt},
        {"not a number", "/dev/fuse 1000 750 lots 75% /\n", std::nullopt},
    };
    for (const SpaceCase& c : spaces) {
        SCOPED_TRACE(c.reason);
        runner.answer = [&](const QStringList&) { return succeeded(c.output); };
        EXPECT_EQ(blockingWait(repository.availableSpace("/sdcard", usbDevice)), c.available);
    }
    runner.answer = [](const QStringList&) { return failed(1, "df: /x: No such file\n"); };
    EXPECT_EQ(deviceErrorOf(repository.availableSpace("/x", usbDevice)),
              DeviceRepositoryError::commandFailed("df: /x: No such file\n"));
}

TEST_F(ADBRepositoryOperations, readFilePrefixReturnsTheBytesUnaltered) {
    const QByteArray jpegStart("\xff\xd8\xff\xe0\x00\x10JFIF\x00\r\n\x1a\n", 17);
    runner.answer = [&](const QStringList&) { return succeeded(jpegStart); };
    EXPECT_EQ(blockingWait(repository.readFilePrefix(file("/sdcard/a.jpg"), 17, usbDevice)),
              jpegStart);
    EXPECT_EQ(runner.calls.size(), 1);

    // adb itself failing: the device is gone.
    runner.answer = [](const QStringList&) {
        return failed(1, "error: device 'SER1' not found\n");
    };
    EXPECT_EQ(deviceErrorOf(repository.readFilePrefix(file("/sdcard/a.jpg"), 17, usbDevice)),
              DeviceRepositoryError::commandFailed("error: device 'SER1' not found\n"));
}

TEST_F(ADBRepositoryOperations, readFilePrefixAsksTheShellWhenNoBytesCame) {
    struct Case {
        const char* reason;
        ADBCommandResult shellAnswer;
        std::optional<DeviceRepositoryError> error;
    };
    const Case cases[] = {
        {"an empty file", succeeded(), std::nullopt},
        {"an unreadable file", failed(1, "head: /sdcard/a.jpg: Permission denied\n"),
         DeviceRepositoryError::commandFailed("head: /sdcard/a.jpg: Permission denied\n")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        runner.answer = [&](const QStringList& arguments) {
            return arguments.at(2) == "exec-out" ? succeeded() : c.shellAnswer;
        };
        auto read = repository.readFilePrefix(file("/sdcard/a.jpg"), 17, usbDevice);
        if (c.error) {
            EXPECT_EQ(deviceErrorOf(std::move(read)), *c.error);
        } else {
            EXPECT_TRUE(blockingWait(std::move(read)).isEmpty());
        }
    }
}

// The listing is line based: a half line never becomes an entry that names the folder itself
// or an item the output did not finish naming.
TEST_F(ADBRepositoryOperations, listingLeavesOutCutLinesAndTheFolderItself) {
    struct Case {
        const char* title;
        QByteArray output;
        QStringList paths;
    };
    const QByteArray a = "regular file|1|10|/sdcard/X/a\n";
    const QByteArray b = "directory|4096|10|/sdcard/X/b\n";
    const Case cases[] = {
        {"plain", a + b, {"/sdcard/X/b", "/sdcard/X/a"}},
        {"name starting with a break", "directory|4096|10|/sdcard/X/\nb\n" + a, {"/sdcard/X/a"}},
        {"cut last line", a + "regular file|5|10|/sdcard/X/lon", {"/sdcard/X/a"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        const QByteArray output = c.output;
        runner.answer = [output](const QStringList&) { return succeeded(output); };
        QStringList paths;
        for (const DeviceFile& file : blockingWait(repository.listFiles("/sdcard/X", usbDevice))) {
            paths.append(file.path);
        }
        EXPECT_EQ(paths, c.paths);
    }
}
