// Names that trip shells, globs, option parsers and path code, end to end on the simulated
// phone: created, listed, uploaded, downloaded, renamed and deleted, as files and as folders.
#include "BlockingWait.h"
#include "PhoneIntegration.h"

#include <QFile>

namespace {

struct NameCase {
    const char* title;
    QString name;
};

// 220 bytes of UTF-8: a name that is long, but still one the file systems accept.
const QString longName = QString(110, QChar(0x0416));

const NameCase nameCases[] = {
    {"single quote", "it's"},
    {"double quote", "say \"hi\""},
    {"bar", "a|b|c"},
    {"command substitution", "$(id)"},
    {"back-quotes", "`id`"},
    {"backslash", "back\\slash\\n"},
    {"star", "*"},
    {"question mark", "?.jpg"},
    {"bracket class", "[a]"},
    {"leading dash", "-rf"},
    {"leading dot", ".hidden"},
    {"leading dots", "..data"},
    {"two spaces", "two  spaces"},
    {"trailing space", "trailing "},
    {"Cyrillic", "Фото отпуск"},
    {"emoji", "😀 emoji 🐈"},
    {"long", longName},
};

class PhoneHostileNames : public PhoneIntegrationTest,
                          public ::testing::WithParamInterface<NameCase> {};

const DeviceFile* findEntry(const QList<DeviceFile>& files, const QString& name) {
    for (const DeviceFile& file : files) {
        if (file.name == name) {
            return &file;
        }
    }
    return nullptr;
}

} // namespace

TEST_P(PhoneHostileNames, survivesEveryOperationAsFileAndFolder) {
    const QString name = GetParam().name;
    const QString device = deviceFolder();
    const QString host = hostPath(device);
    const QByteArray content = noiseBytes(20'000) + name.toUtf8();

    // A file and a folder holding a file of the same name, both uploaded.
    const QString localFile = localFolder() + "/up/" + name;
    writeFile(localFile, content);
    const QString localTree = localFolder() + "/tree/" + name;
    writeFile(localTree + "/" + name, content);
    blockingWait(repository->upload(QUrl::fromLocalFile(localFile), device, name, this->device,
                                    std::nullopt, {}));
    blockingWait(repository->upload(QUrl::fromLocalFile(localTree), device, name + " folder",
                                    this->device, std::nullopt, {}));
    EXPECT_EQ(readFile(host + "/" + name), content);
    EXPECT_EQ(readFile(host + "/" + name + " folder/" + name), content);

    // Listed under exactly these names, next to a folder created under the name.
    blockingWait(repository->createFolder(name, device + "/made", this->device));
    EXPECT_TRUE(QFileInfo(host + "/made/" + name).isDir());
    EXPECT_TRUE(blockingWait(repository->directoryExists(device + "/made/" + name, this->device)));
    const QList<DeviceFile> listed = blockingWait(repository->listFiles(device, this->device));
    ASSERT_EQ(listed.size(), 3);
    const DeviceFile* file = findEntry(listed, name);
    const DeviceFile* folder = findEntry(listed, name + " folder");
    ASSERT_TRUE(file && folder);
    EXPECT_EQ(file->path, device + "/" + name);
    EXPECT_EQ(file->size, content.size());
    EXPECT_TRUE(folder->isDirectory);
    const QList<DeviceFile> made =
        blockingWait(repository->listFiles(device + "/made", this->device));
    ASSERT_EQ(made.size(), 1);
    EXPECT_EQ(made.at(0).name, name);
    EXPECT_TRUE(made.at(0).isDirectory);

    // Downloaded back, as a file and as a folder.
    const QString down = localFolder() + "/down";
    blockingWait(repository->download(*file,
                                      DownloadDestination::directory(QUrl::fromLocalFile(down)),
                                      name, this->device, std::nullopt, {}));
    blockingWait(repository->download(*folder,
                                      DownloadDestination::directory(QUrl::fromLocalFile(down)),
                                      name + " folder", this->device, std::nullopt, {}));
    EXPECT_EQ(readFile(down + "/" + name), content);
    EXPECT_EQ(readFile(down + "/" + name + " folder/" + name), content);
    const auto bytes = blockingWait(repository->readFilePrefix(*file, 100, this->device));
    EXPECT_EQ(bytes, content.left(100));

    // Renamed to the name with a prefix, and deleted.
    blockingWait(repository->renameItem(*file, "x" + name, this->device));
    blockingWait(repository->renameItem(*folder, "x" + name + " folder", this->device));
    EXPECT_EQ(readFile(host + "/x" + name), content);
    EXPECT_EQ(readFile(host + "/x" + name + " folder/" + name), content);
    for (const DeviceFile& item : blockingWait(repository->listFiles(device, this->device))) {
        blockingWait(repository->deleteItem(item, this->device));
    }
    EXPECT_EQ(entryNames(host), QStringList());
    EXPECT_TRUE(transferLeftovers(localFolder()).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Names, PhoneHostileNames, ::testing::ValuesIn(nameCases),
                         [](const ::testing::TestParamInfo<NameCase>& info) {
                             QString title = QString::fromLatin1(info.param.title);
                             title.replace(QLatin1Char(' '), QLatin1Char('_'));
                             title.remove(QLatin1Char('-'));
                             return title.toStdString();
                         });
