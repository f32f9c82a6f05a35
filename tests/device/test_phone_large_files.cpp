// A file beyond 4 GiB, sparse on the computer so that it costs little disk, keeps its exact
// size and its last bytes through an upload and a download.
#include "BlockingWait.h"
#include "PhoneIntegration.h"

#include <QFile>
#include <QStorageInfo>

namespace {

constexpr qint64 largeSize = (qint64(4) << 30) + 12'345;
const QByteArray tail = "the last bytes of a large file";

class PhoneLargeFiles : public PhoneIntegrationTest {};

// A sparse file whose only data is `tail` at its end.
bool writeSparseFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.resize(largeSize) &&
           file.seek(largeSize - tail.size()) && file.write(tail) == tail.size();
}

QByteArray lastBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(file.size() - tail.size())) {
        return {};
    }
    return file.read(tail.size());
}

} // namespace

TEST_F(PhoneLargeFiles, aFileBeyondFourGibibytesKeepsItsSizeBothWays) {
    // The phone's copy is written out in full, and so is the one downloaded back.
    if (QStorageInfo(localFolder()).bytesAvailable() < (qint64(20) << 30)) {
        GTEST_SKIP() << "under 20 GiB free";
    }
    const QString source = localFolder() + "/large.bin";
    ASSERT_TRUE(writeSparseFile(source));
    blockingWait(repository->upload(QUrl::fromLocalFile(source), deviceFolder(), "large.bin",
                                    device, std::nullopt, {}));
    const QString onPhone = hostPath(deviceFolder()) + "/large.bin";
    EXPECT_EQ(QFileInfo(onPhone).size(), largeSize);
    EXPECT_EQ(lastBytes(onPhone), tail);
    QFile::remove(source);

    const QList<DeviceFile> listed = blockingWait(repository->listFiles(deviceFolder(), device));
    ASSERT_EQ(listed.size(), 1);
    EXPECT_EQ(listed.at(0).size, largeSize);
    const QString down = localFolder() + "/down";
    blockingWait(repository->download(listed.at(0),
                                      DownloadDestination::directory(QUrl::fromLocalFile(down)),
                                      "large.bin", device, std::nullopt, {}));
    QFile::remove(onPhone);
    EXPECT_EQ(QFileInfo(down + "/large.bin").size(), largeSize);
    EXPECT_EQ(lastBytes(down + "/large.bin"), tail);
    EXPECT_TRUE(transferLeftovers(localFolder()).isEmpty());
}
