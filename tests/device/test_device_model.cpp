// The device vocabulary: state words, symbols, derived texts and the bilingual error texts.
#include "AndroidDevice.h"
#include "AppLanguageManager.h"
#include "ConnectionMethod.h"
#include "DeviceFile.h"
#include "DeviceInfo.h"
#include "DeviceRepositoryError.h"
#include "Formatting.h"
#include "FreshPreferences.h"
#include "HostNaming.h"
#include "StorageLocation.h"

#include <gtest/gtest.h>

namespace {

// Every test that reads a text picks the language itself, on a store of its own.
class InterfaceLanguage : public ::testing::Test {
protected:
    void use(AppLanguage language) { AppLanguageManager::shared().setCurrent(language); }
    void TearDown() override { setHostNaming(platformHostNaming); }

    FreshPreferences preferences;
    const HostNaming platformHostNaming = hostNaming();
};

} // namespace

TEST(AndroidDeviceState, readsTheStateWordsOfTheListing) {
    struct Case {
        const char* word;
        AndroidDevice::State state;
    };
    const Case cases[] = {
        {"device", AndroidDevice::State::connected},
        {"unauthorized", AndroidDevice::State::unauthorized},
        {"offline", AndroidDevice::State::offline},
        {"unknown", AndroidDevice::State::unknown},
        {"recovery", AndroidDevice::State::unknown},
        {"sideload", AndroidDevice::State::unknown},
        {"Device", AndroidDevice::State::unknown},
        {"", AndroidDevice::State::unknown},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        EXPECT_EQ(androidDeviceState(QString::fromUtf8(c.word)), c.state);
    }
    EXPECT_EQ(rawValue(AndroidDevice::State::connected), "device");
}

TEST(AndroidDeviceEquality, comparesAllFourFields) {
    const AndroidDevice device{"SER1", "Pixel 7", AndroidDevice::State::connected,
                               ConnectionMethod::usb};
    AndroidDevice other = device;
    EXPECT_EQ(device, other);
    other.state = AndroidDevice::State::offline;
    EXPECT_NE(device, other);
    other = device;
    other.connectionMethod = ConnectionMethod::wifi;
    EXPECT_NE(device, other);
}

TEST(DeviceFileSymbol, followsTheLowerCasedExtension) {
    struct Case {
        const char* path;
        bool isDirectory;
        const char* symbol;
    };
    const Case cases[] = {
        {"/sdcard/DCIM", true, "folder.fill"},
        // A folder wins over an extension that names a photo.
        {"/sdcard/shots.jpg", true, "folder.fill"},
        {"/sdcard/IMG.JPG", false, "photo.fill"},
        {"/sdcard/a.heic", false, "photo.fill"},
        {"/sdcard/raw.DNG", false, "photo.fill"},
        {"/sdcard/clip.mkv", false, "film.fill"},
        {"/sdcard/song.M4A", false, "music.note"},
        {"/sdcard/paper.pdf", false, "doc.richtext.fill"},
        {"/sdcard/backup.7z", false, "archivebox.fill"},
        {"/sdcard/archive.TAR.GZ", false, "doc.fill"},
        {"/sdcard/README", false, "doc.fill"},
        // A leading dot marks a hidden name, not an extension.
        {"/sdcard/.jpg", false, "doc.fill"},
        {"/sdcard/photos.d/notes", false, "doc.fill"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        DeviceFile file;
        file.path = QString::fromUtf8(c.path);
        file.isDirectory = c.isDirectory;
        EXPECT_EQ(file.symbolName(), QString::fromUtf8(c.symbol));
    }
}

TEST(DeviceFileModificationText, isADashWithoutATimeAndTheSystemStyleWithOne) {
    DeviceFile file;
    EXPECT_EQ(file.modificationText(), QString::fromUtf8("—"));
    file.modifiedAt = QDateTime::fromSecsSinceEpoch(1'717'334'400);
    EXPECT_EQ(file.modificationText(), formatAbbreviatedDateTime(*file.modifiedAt));
    EXPECT_NE(file.modificationText(), QString::fromUtf8("—"));
}

TEST(DeviceFileEquality, usesAllFiveFieldsAndThePathAsIdentity) {
    const DeviceFile file{"a.jpg", "/sdcard/a.jpg", false, 10, QDateTime::fromSecsSinceEpoch(100)};
    DeviceFile resized = file;
    resized.size = 11;
    EXPECT_NE(file, resized);
    EXPECT_EQ(file.id(), resized.id());
    DeviceFile unknownSize = file;
    unknownSize.size.reset();
    EXPECT_NE(file, unknownSize);
    EXPECT_EQ(qHash(file), qHash(DeviceFile(file)));
}

TEST(DeviceInfoFreeStoragePercent, roundsAndNeedsBothPositiveSizes) {
    struct Case {
        std::optional<qint64> free;
        std::optional<qint64> total;
        std::optional<int> percent;
    };
    const Case cases[] = {
        {256'000, 1'024'000, 25},
        {1, 200, 1},     // 0.5 rounds away from zero
        {1, 201, 0},     // 0.497…
        {199, 200, 100}, // 99.5
        {0, 0, std::nullopt},
        {10, std::nullopt, std::nullopt},
        {std::nullopt, 10, std::nullopt},
        {5, -1, std::nullopt},
    };
    for (const Case& c : cases) {
        DeviceInfo info;
        info.freeStorage = c.free;
        info.totalStorage = c.total;
        EXPECT_EQ(info.freeStoragePercent(), c.percent);
    }
}

TEST_F(InterfaceLanguage, storageLocationTitlesByExactPath) {
    struct Case {
        const char* path;
        const char* english;
        const char* russian;
    };
    const Case cases[] = {
        {"/sdcard", "Internal storage", "Внутренняя память"},
        {"/sdcard/Download", "Downloads", "Загрузки"},
        {"/sdcard/Downloads", "Downloads", "Загрузки"},
        {"/sdcard/DCIM", "Photos", "Фотографии"},
        {"/sdcard/Documents", "Documents", "Документы"},
        // Not a named location: named by its last component, untranslated.
        {"/sdcard/", "sdcard", "sdcard"},
        {"/sdcard/DCIM/Camera", "Camera", "Camera"},
        {"/storage/1234-ABCD/Музыка", "Музыка", "Музыка"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const StorageLocation location{QString::fromUtf8(c.path), "folder"};
        use(AppLanguage::english);
        EXPECT_EQ(location.title(), QString::fromUtf8(c.english));
        use(AppLanguage::russian);
        EXPECT_EQ(location.title(), QString::fromUtf8(c.russian));
    }
}

TEST_F(InterfaceLanguage, connectionMethodTitlesAndHints) {
    EXPECT_EQ(allConnectionMethods(), (QList{ConnectionMethod::usb, ConnectionMethod::wifi}));
    EXPECT_EQ(rawValue(ConnectionMethod::wifi), "wifi");
    use(AppLanguage::english);
    EXPECT_EQ(connectionMethodTitle(ConnectionMethod::usb), "USB");
    // A non-breaking hyphen keeps the word on one line.
    EXPECT_EQ(connectionMethodTitle(ConnectionMethod::wifi), QString::fromUtf8("Wi\u2011Fi"));
    setHostNaming(HostNaming::mac);
    EXPECT_EQ(connectionMethodHint(ConnectionMethod::wifi),
              "The device and Mac must be on the same network");
    setHostNaming(HostNaming::computer);
    EXPECT_EQ(connectionMethodHint(ConnectionMethod::wifi),
              "The device and computer must be on the same network");
    use(AppLanguage::russian);
    EXPECT_EQ(connectionMethodTitle(ConnectionMethod::usb), QString::fromUtf8("По кабелю"));
    EXPECT_EQ(connectionMethodTitle(ConnectionMethod::wifi), QString::fromUtf8("По Wi\u2011Fi"));
    EXPECT_EQ(
        connectionMethodHint(ConnectionMethod::usb),
        QString::fromUtf8("Подключите устройство по USB и разрешите отладку на экране телефона"));
}

TEST_F(InterfaceLanguage, errorDescriptionsFollowTheLanguageOfTheMomentTheyAreRead) {
    const QString required = formatByteCount(5'000'000'000);
    const QString available = formatByteCount(1'200'000);
    struct Case {
        DeviceRepositoryError error;
        QString english;
        QString russian;
    };
    const Case cases[] = {
        {DeviceRepositoryError::connectionFailed("failed to connect to 10.0.0.5:5555"),
         "failed to connect to 10.0.0.5:5555", "failed to connect to 10.0.0.5:5555"},
        // The tool's words are shown as they are, untrimmed.
        {DeviceRepositoryError::commandFailed("error: device offline\n"), "error: device offline\n",
         "error: device offline\n"},
        {DeviceRepositoryError::insufficientDeviceStorage(5'000'000'000, 1'200'000),
         "There is not enough space on the device. " + required + " is required, " + available +
             " is available.",
         QString::fromUtf8("На устройстве недостаточно места. Требуется ") + required +
             QString::fromUtf8(", доступно ") + available + "."},
        {DeviceRepositoryError::insufficientMacStorage(5'000'000'000, 1'200'000),
         "There is not enough space on the Mac. " + required + " is required, " + available +
             " is available.",
         QString::fromUtf8("На Mac недостаточно места. Требуется ") + required +
             QString::fromUtf8(", доступно ") + available + "."},
        {DeviceRepositoryError::adbNotFound(), "The bundled ADB is unavailable.",
         QString::fromUtf8("Встроенный ADB недоступен.")},
        {DeviceRepositoryError::noDevice(), "Device not found",
         QString::fromUtf8("Устройство не найдено")},
        {DeviceRepositoryError::itemAlreadyExists(), "An item with this name already exists",
         QString::fromUtf8("Объект с таким именем уже существует")},
    };
    setHostNaming(HostNaming::mac);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error.what());
        use(AppLanguage::russian);
        const DeviceRepositoryError raisedInRussian = c.error;
        use(AppLanguage::english);
        EXPECT_EQ(raisedInRussian.description(), c.english);
        use(AppLanguage::russian);
        EXPECT_EQ(raisedInRussian.description(), c.russian);
    }
}

TEST_F(InterfaceLanguage, hostStorageErrorNamesTheComputerOffTheMac) {
    setHostNaming(HostNaming::computer);
    const DeviceRepositoryError error = DeviceRepositoryError::insufficientMacStorage(2'000, 1'000);
    use(AppLanguage::english);
    EXPECT_EQ(error.description(), "There is not enough space on the computer. " +
                                       formatByteCount(2'000) + " is required, " +
                                       formatByteCount(1'000) + " is available.");
    use(AppLanguage::russian);
    EXPECT_EQ(error.description(), QString::fromUtf8("На компьютере недостаточно места. Требуется ") +
                                       formatByteCount(2'000) + QString::fromUtf8(", доступно ") +
                                       formatByteCount(1'000) + ".");
}

TEST(DeviceRepositoryErrorPayload, keepsCaseAndPayloadAndNamesOnlyTheCase) {
    const auto error = DeviceRepositoryError::insufficientMacStorage(300, 100);
    EXPECT_EQ(error.errorCase(), DeviceRepositoryError::Case::insufficientMacStorage);
    EXPECT_EQ(error.required(), 300);
    EXPECT_EQ(error.available(), 100);
    const auto failed = DeviceRepositoryError::commandFailed("rm: /sdcard/secret.txt: denied");
    EXPECT_EQ(failed.message(), "rm: /sdcard/secret.txt: denied");
    // what() may reach a log, so it never carries the message with its paths.
    EXPECT_STREQ(failed.what(), "DeviceRepositoryError.commandFailed");
    EXPECT_NE(failed, DeviceRepositoryError::commandFailed("other"));
}
