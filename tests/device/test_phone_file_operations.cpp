// Listing, creating, renaming and deleting on the simulated phone with the real adb, with names
// a shell would choke on.
#include "BlockingWait.h"
#include "DeviceRepositoryError.h"
#include "PhoneIntegration.h"

#include <QFile>

namespace {

// Each of these must survive the device's shell untouched.
const QStringList oddNames{
    "Mum's photos",
    "a|b.txt",
    " leading space",
    "-rf",
    "--help",
    "Фото «отпуск»",
    "..data",
    ".hidden",
    "double\"quote",
    "$(touch pwned)",
    "`id`",
    "back\\slash",
    "star*?[x]",
    "semi;colon&amp",
    "'",
    "tab\there",
};

class PhoneFileOperations : public PhoneIntegrationTest {};

QStringList namesOf(const QList<DeviceFile>& files) {
    QStringList names;
    for (const DeviceFile& file : files) {
        names.append(file.name);
    }
    return names;
}

} // namespace

TEST_F(PhoneFileOperations, createListRenameAndDeleteFoldersWithOddNames) {
    for (const QString& name : oddNames) {
        SCOPED_TRACE(name.toStdString());
        blockingWait(repository->createFolder(name, deviceFolder(), device));
        EXPECT_TRUE(QFileInfo(hostPath(deviceFolder()) + "/" + name).isDir());
        EXPECT_TRUE(blockingWait(repository->directoryExists(deviceFolder() + "/" + name, device)));
    }
    const QList<DeviceFile> listed = blockingWait(repository->listFiles(deviceFolder(), device));
    QStringList expected = oddNames;
    QStringList names = namesOf(listed);
    expected.sort();
    names.sort();
    EXPECT_EQ(names, expected);
    for (const DeviceFile& folder : listed) {
        EXPECT_TRUE(folder.isDirectory) << folder.name.toStdString();
        EXPECT_EQ(folder.path, deviceFolder() + "/" + folder.name);
        EXPECT_TRUE(folder.modifiedAt.has_value());
    }

    for (const DeviceFile& folder : listed) {
        SCOPED_TRACE(folder.name.toStdString());
        const QString renamed = QStringLiteral("renamed ") + folder.name;
        blockingWait(repository->renameItem(folder, renamed, device));
        EXPECT_FALSE(QFileInfo::exists(hostPath(folder.path)));
        EXPECT_TRUE(QFileInfo(hostPath(deviceFolder()) + "/" + renamed).isDir());
    }
    for (const DeviceFile& folder : blockingWait(repository->listFiles(deviceFolder(), device))) {
        blockingWait(repository->deleteItem(folder, device));
    }
    EXPECT_TRUE(entryNames(hostPath(deviceFolder())).isEmpty());
}

TEST_F(PhoneFileOperations, listsHiddenEntriesFilesAndSizesInTheStandardOrder) {
    const QString host = hostPath(deviceFolder());
    writeFile(host + "/Track 10.mp3", QByteArray(10, 'x'));
    writeFile(host + "/track 2.mp3", QByteArray(2, 'x'));
    writeFile(host + "/.nomedia", {});
    writeFile(host + "/a|b.txt", QByteArray(3, 'x'));
    writeFile(host + "/..data/inner", QByteArray(1, 'x'));
    QDir().mkpath(host + "/Albums/deep");
    const QList<DeviceFile> listed = blockingWait(repository->listFiles(deviceFolder(), device));
    EXPECT_EQ(namesOf(listed), (QStringList{"..data", "Albums", ".nomedia", "a|b.txt",
                                            "track 2.mp3", "Track 10.mp3"}));
    EXPECT_EQ(listed.at(5).size, 10);
    EXPECT_EQ(listed.at(3).size, 3);
    EXPECT_EQ(listed.at(2).size, 0);
    EXPECT_EQ(listed.at(1).size, std::nullopt);

    // An empty folder and a missing one both list as nothing.
    EXPECT_TRUE(
        blockingWait(repository->listFiles(deviceFolder() + "/Albums/deep", device)).isEmpty());
    EXPECT_TRUE(blockingWait(repository->listFiles(deviceFolder() + "/missing", device)).isEmpty());
    EXPECT_FALSE(blockingWait(repository->directoryExists(deviceFolder() + "/missing", device)));
    EXPECT_FALSE(blockingWait(repository->directoryExists(deviceFolder() + "/a|b.txt", device)));
}

TEST_F(PhoneFileOperations, renameRefusesATakenNameAndDeleteRemovesFilesAndTrees) {
    const QString host = hostPath(deviceFolder());
    writeFile(host + "/IMG_1.jpg", "one");
    writeFile(host + "/IMG_2.jpg", "two");
    const QList<DeviceFile> listed = blockingWait(repository->listFiles(deviceFolder(), device));
    ASSERT_EQ(listed.size(), 2);
    try {
        blockingWait(repository->renameItem(listed.at(0), "IMG_2.jpg", device));
        ADD_FAILURE() << "the rename replaced an existing item";
    } catch (const DeviceRepositoryError& error) {
        EXPECT_EQ(error, DeviceRepositoryError::itemAlreadyExists());
    }
    EXPECT_EQ(readFile(host + "/IMG_1.jpg"), "one");
    EXPECT_EQ(readFile(host + "/IMG_2.jpg"), "two");

    writeFile(host + "/tree/a/b/c.txt", "c");
    blockingWait(repository->deleteItem(listed.at(0), device));
    blockingWait(repository->deleteItem({"tree", deviceFolder() + "/tree", true, {}, {}}, device));
    EXPECT_EQ(entryNames(host), QStringList{"IMG_2.jpg"});
}

TEST_F(PhoneFileOperations, sizesFreeSpaceAndFileHeads) {
    const QString host = hostPath(deviceFolder());
    const QByteArray binary = noiseBytes(100'000) + QByteArray("\r\n\0\n\r", 5);
    writeFile(host + "/Mum's photo.jpg", binary);
    writeFile(host + "/folder/a.bin", noiseBytes(50'000));
    const QList<DeviceFile> listed = blockingWait(repository->listFiles(deviceFolder(), device));
    ASSERT_EQ(listed.size(), 2);

    const auto total = blockingWait(repository->totalSize(listed, device));
    ASSERT_TRUE(total.has_value());
    // du counts whole blocks, so the usage is at least the bytes.
    EXPECT_GE(*total, 150'005);
    EXPECT_EQ(*total % 1024, 0);
    EXPECT_EQ(blockingWait(repository->totalSize({}, device)), 0);
    QList<DeviceFile> withVanished = listed;
    withVanished.append({"gone", deviceFolder() + "/gone", false, 1, {}});
    EXPECT_EQ(blockingWait(repository->totalSize(withVanished, device)), std::nullopt);

    const auto available = blockingWait(repository->availableSpace(deviceFolder(), device));
    ASSERT_TRUE(available.has_value());
    EXPECT_GT(*available, 0);

    const DeviceFile photo = listed.at(1);
    ASSERT_EQ(photo.name, "Mum's photo.jpg");
    EXPECT_EQ(blockingWait(repository->readFilePrefix(photo, 4096, device)), binary.left(4096));
    EXPECT_EQ(blockingWait(repository->readFilePrefix(photo, 1'000'000, device)), binary);
    EXPECT_TRUE(blockingWait(repository->readFilePrefix(listed.at(0), 4096, device)).isEmpty());
    try {
        blockingWait(repository->readFilePrefix({"gone", deviceFolder() + "/gone", false, 1, {}},
                                                10, device));
        ADD_FAILURE() << "reading a missing file succeeded";
    } catch (const DeviceRepositoryError& error) {
        EXPECT_EQ(error.errorCase(), DeviceRepositoryError::Case::commandFailed);
        EXPECT_FALSE(error.message().isEmpty());
    }
}

TEST_F(PhoneFileOperations, discoveryAndDeviceInformation) {
    const QList<AndroidDevice> devices = blockingWait(repository->devices());
    ASSERT_EQ(devices.size(), 1);
    EXPECT_EQ(devices.at(0).id, phone->serial());
    EXPECT_EQ(devices.at(0).state, AndroidDevice::State::connected);
    EXPECT_EQ(devices.at(0).connectionMethod, ConnectionMethod::wifi);
    EXPECT_EQ(devices.at(0).name, "Simulated Phone");

    const DeviceInfo info = blockingWait(repository->fetchDeviceInfo(device));
    EXPECT_EQ(info.model, "Simulated Phone");
    EXPECT_EQ(info.androidVersion, "14");
    EXPECT_EQ(info.batteryLevel, 85);
    EXPECT_FALSE(info.isCharging);
    ASSERT_TRUE(info.totalStorage && info.freeStorage);
    EXPECT_LE(*info.freeStorage, *info.totalStorage);

    // Nothing listens on this port: adb says so with status 0, and that is a failure.
    try {
        blockingWait(repository->connect("127.0.0.1", "1"));
        ADD_FAILURE() << "connecting to a closed port succeeded";
    } catch (const DeviceRepositoryError& error) {
        EXPECT_EQ(error.errorCase(), DeviceRepositoryError::Case::connectionFailed);
        EXPECT_FALSE(error.message().isEmpty());
    }
}
