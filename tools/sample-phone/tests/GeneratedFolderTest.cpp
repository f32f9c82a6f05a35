// The generator rewrites its output only when missing or outdated, and never deletes a folder
// it did not write.
#include "GeneratedFolder.h"
#include "SampleReading.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void writeMarker(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// Writes one file through `folder` as the generator would.
void generate(const GeneratedFolder& folder, const QByteArray& content) {
    const QString partial = folder.beginWriting();
    writeMarker(partial + "/content.txt", content);
    folder.finishWriting();
}

class GeneratedFolderTest : public testing::Test {
protected:
    QTemporaryDir scratch;
    QString output() const { return scratch.filePath("phone"); }
};

TEST_F(GeneratedFolderTest, IsOutdatedWhenMissingOrWrittenByAnotherGenerator) {
    const GeneratedFolder first(output(), "fingerprint-1");
    EXPECT_FALSE(first.isUpToDate()) << "missing";
    generate(first, "one");
    EXPECT_TRUE(first.isUpToDate());

    const GeneratedFolder second(output(), "fingerprint-2");
    EXPECT_FALSE(second.isUpToDate()) << "another generator";
    generate(second, "two");
    EXPECT_EQ(readBytes(output() + "/content.txt"), "two");
    EXPECT_FALSE(QDir(output() + ".partial").exists());

    ASSERT_TRUE(QDir(output()).removeRecursively());
    EXPECT_FALSE(second.isUpToDate()) << "folder deleted, stamp left";
}

TEST_F(GeneratedFolderTest, GeneratorLeavesAForeignFolderIntactAndFails) {
    ASSERT_TRUE(QDir().mkpath(output()));
    writeMarker(output() + "/precious.txt", "keep me");
    QProcess generator;
    generator.start(SAMPLE_PHONE_GENERATOR, {"--output", output()});
    ASSERT_TRUE(generator.waitForFinished(120000));
    EXPECT_NE(generator.exitCode(), 0);
    EXPECT_TRUE(generator.readAllStandardError().contains("was not written by this tool"));
    EXPECT_EQ(readBytes(output() + "/precious.txt"), "keep me");
    EXPECT_EQ(QDir(output()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 1);
}

TEST_F(GeneratedFolderTest, GeneratorLeavesAnUpToDateFolderAlone) {
    QProcess generator;
    generator.start(SAMPLE_PHONE_GENERATOR, {"--output", output()});
    ASSERT_TRUE(generator.waitForFinished(120000));
    ASSERT_EQ(generator.exitCode(), 0) << generator.readAllStandardError().toStdString();
    // A file the generator does not write survives only if the second run changes nothing.
    writeMarker(output() + "/added by hand.txt", "mine");

    generator.start(SAMPLE_PHONE_GENERATOR, {"--output", output()});
    ASSERT_TRUE(generator.waitForFinished(120000));
    ASSERT_EQ(generator.exitCode(), 0) << generator.readAllStandardError().toStdString();
    EXPECT_EQ(readBytes(output() + "/added by hand.txt"), "mine");
}

} // namespace
