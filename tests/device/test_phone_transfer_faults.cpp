// A connection that drops at any point of a transfer: while files are pushed or pulled, while
// the copy is measured, swapped or listed. Afterwards every destination item is either the
// previous one or the complete new one, and a failure is reported as one.
#include "BlockingWait.h"
#include "CancelledError.h"
#include "PhoneIntegration.h"

#include <QDirIterator>

namespace {

enum class Transfer { fileUpload, fileDownload, folderUpload, folderDownload };

struct TransferCase {
    const char* title;
    Transfer transfer;
};

const TransferCase transferCases[] = {
    {"single-file upload", Transfer::fileUpload},
    {"single-file download", Transfer::fileDownload},
    {"folder upload", Transfer::folderUpload},
    {"folder download", Transfer::folderDownload},
};

// The files of one transfer: relative path → content. The previous items differ in size, so
// nothing is skipped as already copied.
const QMap<QString, QByteArray> newFiles{
    {"a.bin", noiseBytes(3000)},
    {"sub/b.bin", noiseBytes(1500)},
    {"sub/c d.bin", noiseBytes(700)},
};
const QMap<QString, QByteArray> previousFiles{
    {"a.bin", "previous a"},
    {"sub/b.bin", "previous b"},
    {"sub/c d.bin", "previous c"},
};
const QByteArray newSingle = noiseBytes(4000);
const QByteArray previousSingle = "the previous file";

class PhoneTransferFaults : public PhoneIntegrationTest,
                            public ::testing::WithParamInterface<TransferCase> {
protected:
    void TearDown() override {
        if (phone) {
            phone->control("drop cancel");
        }
    }

    // Runs one transfer of `c` into its own folders, with the connection dropped after
    // `dropAfter` bytes; returns its failure, none on success.
    std::exception_ptr runWithDrop(const TransferCase& c, qint64 dropAfter,
                                   const QString& deviceCase, const QString& localCase) {
        const bool isFolder =
            c.transfer == Transfer::folderUpload || c.transfer == Transfer::folderDownload;
        const bool isUpload =
            c.transfer == Transfer::fileUpload || c.transfer == Transfer::folderUpload;
        const QString sourceRoot = isUpload ? localCase + "/source" : hostPath(deviceCase);
        const QString destinationRoot = isUpload ? hostPath(deviceCase) : localCase;
        if (isFolder) {
            for (auto file = newFiles.begin(); file != newFiles.end(); ++file) {
                writeFile(sourceRoot + "/item/" + file.key(), file.value());
            }
            for (auto file = previousFiles.begin(); file != previousFiles.end(); ++file) {
                writeFile(destinationRoot + "/item/" + file.key(), file.value());
            }
        } else {
            writeFile(sourceRoot + "/item", newSingle);
            writeFile(destinationRoot + "/item", previousSingle);
        }

        phone->control(QStringLiteral("drop after %1").arg(dropAfter));
        std::exception_ptr failure;
        try {
            if (isUpload) {
                blockingWait(
                    spawn(repository->upload(QUrl::fromLocalFile(sourceRoot + "/item"), deviceCase,
                                             "item", device, std::nullopt, {})));
            } else {
                const DeviceFile item{"item",
                                      deviceCase + "/item",
                                      isFolder,
                                      isFolder ? std::nullopt
                                               : std::optional<qint64>(newSingle.size()),
                                      {}};
                blockingWait(spawn(repository->download(
                    item, DownloadDestination::directory(QUrl::fromLocalFile(localCase)), "item",
                    device, std::nullopt, {})));
            }
        } catch (...) {
            failure = std::current_exception();
        }
        phone->control("drop cancel");
        return failure;
    }
};

} // namespace

// Drops sweep from the first bytes of the first command to past the end of the transfer, in
// steps small enough to land inside every command of it (a shell command's answer is a few
// bytes).
TEST_P(PhoneTransferFaults, everyItemIsThePreviousOrTheCompleteNewOne) {
    const TransferCase& c = GetParam();
    {
        const bool isFolder =
            c.transfer == Transfer::folderUpload || c.transfer == Transfer::folderDownload;
        const bool isUpload =
            c.transfer == Transfer::fileUpload || c.transfer == Transfer::folderUpload;
        const qint64 payload = isFolder ? 5200 : 4000;
        int failures = 0;
        int successes = 0;
        for (qint64 dropAfter = 0; dropAfter < payload + 2500;
             dropAfter += dropAfter < payload ? 700 : 29) {
            SCOPED_TRACE(std::string(c.title) + ", drop after " + std::to_string(dropAfter));
            const QString caseName = QStringLiteral("drop-%1").arg(dropAfter);
            const QString deviceCase = deviceFolder() + "/" + caseName;
            const QString localCase = localFolder() + "/" + caseName;
            const std::exception_ptr failure = runWithDrop(c, dropAfter, deviceCase, localCase);
            (failure ? failures : successes) += 1;
            if (failure) {
                EXPECT_FALSE(isCancellation(failure));
            }

            const QString destination = (isUpload ? hostPath(deviceCase) : localCase) + "/item";
            if (isFolder) {
                for (auto file = newFiles.begin(); file != newFiles.end(); ++file) {
                    SCOPED_TRACE(file.key().toStdString());
                    const QByteArray content = readFile(destination + "/" + file.key());
                    if (failure) {
                        EXPECT_TRUE(content == file.value() ||
                                    content == previousFiles.value(file.key()))
                            << "holds " << content.size() << " bytes";
                    } else {
                        EXPECT_EQ(content, file.value());
                    }
                }
            } else {
                const QByteArray content = readFile(destination);
                if (failure) {
                    EXPECT_TRUE(content == newSingle || content == previousSingle)
                        << "holds " << content.size() << " bytes";
                } else {
                    EXPECT_EQ(content, newSingle);
                }
            }
            // The computer's side is always reachable, so nothing temporary stays there.
            EXPECT_TRUE(transferLeftovers(localCase).isEmpty())
                << transferLeftovers(localCase).join(", ").toStdString();
            reconnect();
        }
        // The sweep reached both sides of the transfer's end.
        EXPECT_GT(failures, 0) << c.title;
        EXPECT_GT(successes, 0) << c.title;
    }
}

INSTANTIATE_TEST_SUITE_P(Transfers, PhoneTransferFaults, ::testing::ValuesIn(transferCases),
                         [](const ::testing::TestParamInfo<TransferCase>& info) {
                             QString name = QString::fromLatin1(info.param.title);
                             name.remove(QLatin1Char(' ')).remove(QLatin1Char('-'));
                             return name.toStdString();
                         });
