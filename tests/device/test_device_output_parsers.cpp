// The parsers of adb's outputs, fed with outputs captured from devices and from adb.
#include "DeviceInfoParser.h"
#include "DeviceListingParser.h"
#include "StatLineParser.h"
#include "TextDecoding.h"

#include <gtest/gtest.h>

#include <limits>

using State = AndroidDevice::State;

TEST(DeviceListingParser, readsEachLineAfterTheHeaderInOrder) {
    const QByteArray output =
        "List of devices attached\n"
        "0123456789ABCDEF       device usb:1-1 product:panther model:Pixel_7 device:panther "
        "transport_id:1\n"
        "SER2                   unauthorized usb:1-2 transport_id:2\n"
        "10.0.0.5:5555          device product:gts9fe model:Tab_S9_FE device:gts9fe "
        "transport_id:3\n"
        "adb-R5CT1234._adb-tls-connect._tcp device product:x model:SM_A546B transport_id:4\n"
        "emulator-5554          offline transport_id:5\n"
        "lonely\n"
        "\n";
    const QList<AndroidDevice> expected{
        {"0123456789ABCDEF", "Pixel 7", State::connected, ConnectionMethod::usb},
        {"SER2", "SER2", State::unauthorized, ConnectionMethod::usb},
        {"10.0.0.5:5555", "Tab S9 FE", State::connected, ConnectionMethod::wifi},
        {"adb-R5CT1234._adb-tls-connect._tcp", "SM A546B", State::connected,
         ConnectionMethod::wifi},
        {"emulator-5554", "emulator-5554", State::offline, ConnectionMethod::usb},
    };
    EXPECT_EQ(parseDeviceListing(output), expected);
}

TEST(DeviceListingParser, edgeCasesOfTheWholeOutput) {
    struct Case {
        const char* reason;
        QByteArray output;
        qsizetype count;
    };
    const Case cases[] = {
        {"only the header", "List of devices attached\n\n", 0},
        {"nothing at all", "", 0},
        {"a device line in first place is taken for the header", "SER1 device\n", 0},
        {"undecodable bytes give no devices", "List of devices attached\nSER\xff device\n", 0},
        {"a state word adb may add later", "List\nSER1 rescue\n", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        EXPECT_EQ(parseDeviceListing(c.output).size(), c.count);
    }
    EXPECT_EQ(parseDeviceListing("List\nSER1 rescue\n").at(0).state, State::unknown);
}

TEST(DeviceListingParser, linePieces) {
    struct Case {
        const char* line;
        std::optional<AndroidDevice> device;
    };
    const Case cases[] = {
        {"SER1 device usb:1 model:Tab_S9_FE",
         AndroidDevice{"SER1", "Tab S9 FE", State::connected, ConnectionMethod::usb}},
        {"SER1    device   model:A__B",
         AndroidDevice{"SER1", "A  B", State::connected, ConnectionMethod::usb}},
        // "model:" counts from any position, even the state's.
        {"SER1 model:X", AndroidDevice{"SER1", "X", State::unknown, ConnectionMethod::usb}},
        {"SER1", std::nullopt},
        {"   ", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(parseDeviceLine(QString::fromUtf8(c.line)), c.device);
    }
}

TEST(WifiSerialRecognition, addressesAndMdnsServiceNames) {
    struct Case {
        const char* serial;
        bool isWifi;
    };
    const Case cases[] = {
        {"10.0.0.5:5555", true},
        {"[fe80::1]:5555", true},
        {"adb-R5CT._adb-tls-connect._tcp", true},
        {"ADB-R5CT._ADB-TLS-PAIRING._TCP", true},
        {"adb-R5CT._adb._tcp.", true},
        {"R5CT1234", false},
        {"emulator-5554", false},
        {"adb_tcp", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.serial);
        EXPECT_EQ(isWifiSerial(QString::fromUtf8(c.serial)), c.isWifi);
    }
}

TEST(ModelAndVersionParser, twoTrimmedLines) {
    struct Case {
        QByteArray output;
        const char* model;
        std::optional<QString> version;
    };
    const Case cases[] = {
        {"Pixel 7\n14\n", "Pixel 7", "14"},
        {"  SM-A546B \r\n 13\r\n", "SM-A546B", "13"},
        {"\n\n", "", ""},
        {"Pixel 7", "Pixel 7", std::nullopt},
        {"", "", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output.toStdString());
        const auto parsed = parseModelAndVersion(c.output);
        EXPECT_EQ(parsed.model, QString::fromUtf8(c.model));
        EXPECT_EQ(parsed.androidVersion, c.version);
    }
}

TEST(KeyValueParser, splitsAtTheFirstColonAndTrimsSpacesAndTabs) {
    const auto values = parseKeyValueLines("Current Battery Service state:\n"
                                           "  AC powered: false\n"
                                           "\tstatus:\t2 \n"
                                           "  time: 10:30:00\n"
                                           "  level: 50\n"
                                           "  level: 78\n"
                                           ":orphan\n"
                                           "  spaced:   \n");
    EXPECT_EQ(values.value("AC powered"), "false");
    EXPECT_EQ(values.value("status"), "2");
    EXPECT_EQ(values.value("time"), "10:30:00");
    EXPECT_EQ(values.value("level"), "78");
    EXPECT_EQ(values.value("spaced"), "");
    EXPECT_FALSE(values.contains("Current Battery Service state"));
    EXPECT_FALSE(values.contains(""));
}

TEST(BatteryParser, levelAndCharging) {
    struct Case {
        const char* reason;
        QByteArray output;
        std::optional<int> level;
        bool charging;
    };
    const Case cases[] = {
        {"charging", "Current Battery Service state:\n  status: 2\n  level: 78\n", 78, true},
        {"full on the charger", "  status: 5\n  level: 100\n", 100, true},
        {"discharging", "  status: 3\n  level: 41\n", 41, false},
        {"no level line", "  status: 5\n", std::nullopt, true},
        {"no status line", "  level: 12\n", 12, false},
        {"level not a number", "  level: high\n  status: two\n", std::nullopt, false},
        {"signed values", "  level: +7\n  status: +2\n", 7, true},
        {"level beyond an int", "  level: 99999999999\n", std::nullopt, false},
        {"empty output", "", std::nullopt, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        const auto battery = parseBatteryState(c.output);
        EXPECT_EQ(battery.level, c.level);
        EXPECT_EQ(battery.isCharging, c.charging);
    }
}

TEST(StorageLineParser, secondAndFourthColumnsInKibibytes) {
    struct Case {
        const char* reason;
        QByteArray output;
        std::optional<qint64> total;
        std::optional<qint64> available;
    };
    const Case cases[] = {
        {"one df line", "/dev/fuse 1000 750 250 75% /storage/emulated\n", 1'024'000, 256'000},
        {"real spacing", "/dev/fuse       115009792 43225164  71653244  38% /storage/emulated\n",
         115'009'792LL * 1024, 71'653'244LL * 1024},
        {"only two pieces", "/dev/fuse 1000\n", 1'024'000, std::nullopt},
        {"three pieces", "/dev/fuse 1000 750\n", 1'024'000, std::nullopt},
        {"header line only", "Filesystem 1K-blocks Used Available Use% Mounted on\n", std::nullopt,
         std::nullopt},
        {"nothing", "", std::nullopt, std::nullopt},
        {"too large to count in bytes", "/dev/x 9223372036854775807 0 9007199254740992 0% /\n",
         std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        const auto space = parseStorageLine(c.output);
        EXPECT_EQ(space.totalBytes, c.total);
        EXPECT_EQ(space.availableBytes, c.available);
    }
}

TEST(DecimalParsing, integersWithAnOptionalSignAndNothingElse) {
    struct Case {
        const char* text;
        std::optional<qint64> value;
    };
    const Case cases[] = {
        {"0", 0},
        {"42", 42},
        {"+42", 42},
        {"-42", -42},
        {"9223372036854775807", std::numeric_limits<qint64>::max()},
        {"-9223372036854775808", std::numeric_limits<qint64>::min()},
        {"9223372036854775808", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {" 42", std::nullopt},
        {"42 ", std::nullopt},
        {"4.2", std::nullopt},
        {"0x10", std::nullopt},
        {"٤٢", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseDecimalInteger(QString::fromUtf8(c.text)), c.value);
    }
    EXPECT_EQ(decodedUTF8("\xd0\xa4"), QString::fromUtf8("Ф"));
    EXPECT_EQ(decodedUTF8("\xd0"), std::nullopt);
}

TEST(StatLineParser, readsTypeSizeTimeAndThePathToTheEndOfTheLine) {
    struct Case {
        const char* reason;
        const char* line;
        std::optional<DeviceFile> file;
    };
    const auto at = [](qint64 seconds) {
        return std::optional<QDateTime>(QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC));
    };
    const Case cases[] = {
        {"a regular file", "regular file|3842100|1717334400|/sdcard/DCIM/IMG_1.jpg",
         DeviceFile{"IMG_1.jpg", "/sdcard/DCIM/IMG_1.jpg", false, 3842100, at(1717334400)}},
        {"a folder has no size", "directory|3488|1717334400|/sdcard/DCIM",
         DeviceFile{"DCIM", "/sdcard/DCIM", true, std::nullopt, at(1717334400)}},
        {"a bar inside the name", "regular file|5|1|/sdcard/a|b.txt",
         DeviceFile{"a|b.txt", "/sdcard/a|b.txt", false, 5, at(1)}},
        {"bars everywhere in the name", "regular empty file|0|1|/sdcard/||x||",
         DeviceFile{"||x||", "/sdcard/||x||", false, 0, at(1)}},
        {"two leading dots", "directory|4096|1|/sdcard/..data",
         DeviceFile{"..data", "/sdcard/..data", true, std::nullopt, at(1)}},
        {"a link is not a folder", "symbolic link|21|1|/sdcard/link",
         DeviceFile{"link", "/sdcard/link", false, 21, at(1)}},
        {"unknown size and time", "regular file|?|?|/sdcard/x",
         DeviceFile{"x", "/sdcard/x", false, std::nullopt, std::nullopt}},
        {"empty size and time", "regular file|||/sdcard/x",
         DeviceFile{"x", "/sdcard/x", false, std::nullopt, std::nullopt}},
        {"fractional seconds", "regular file|1|1.5|/sdcard/x",
         DeviceFile{"x", "/sdcard/x", false, 1, QDateTime::fromMSecsSinceEpoch(1500, Qt::UTC)}},
        {"quotes and Cyrillic", "regular file|7|1|/sdcard/Mum's «фото».jpg",
         DeviceFile{"Mum's «фото».jpg", "/sdcard/Mum's «фото».jpg", false, 7, at(1)}},
        {"the folder itself", "directory|4096|1|/sdcard/.", std::nullopt},
        {"its parent", "directory|4096|1|/sdcard/..", std::nullopt},
        {"three fields", "regular file|5|/sdcard/x", std::nullopt},
        {"shell noise", "stat: cannot stat '/sdcard/x': No such file", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        EXPECT_EQ(parseStatLine(QString::fromUtf8(c.line)), c.file);
    }
}

TEST(RemoteTreeLineParser, keepsItemsBelowTheRootWithANumericSize) {
    const QString root = "/sdcard/Music";
    struct Case {
        const char* reason;
        const char* line;
        std::optional<RemoteDirectoryEntry> entry;
    };
    const Case cases[] = {
        {"a folder", "directory|3488|/sdcard/Music/Albums",
         RemoteDirectoryEntry{"/sdcard/Music/Albums", "Albums", true, 3488}},
        {"a nested file with a bar", "regular file|12|/sdcard/Music/Albums/a|b.mp3",
         RemoteDirectoryEntry{"/sdcard/Music/Albums/a|b.mp3", "Albums/a|b.mp3", false, 12}},
        {"outside the root", "regular file|12|/sdcard/Musicals/x.mp3", std::nullopt},
        {"the root itself", "directory|3488|/sdcard/Music", std::nullopt},
        {"size not a number", "regular file|?|/sdcard/Music/x", std::nullopt},
        {"two fields", "regular file|/sdcard/Music/x", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        EXPECT_EQ(parseRemoteTreeLine(QString::fromUtf8(c.line), root), c.entry);
    }
}
