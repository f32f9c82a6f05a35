// The generated tree holds what the demo promises, names that need quoting, and is the same
// on every run.
#include "SamplePhone.h"
#include "SampleReading.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace {

struct PromisedItem {
    const char* path;
    bool isFolder;
    const char* why;
};

const PromisedItem promisedItems[] = {
    {"DCIM/Camera", true, "the camera roll"},
    {"Pictures/Screenshots", true, "screenshots (PNG, no Exif)"},
    {"Download", true, "standard folder"},
    {"Documents", true, "standard folder"},
    {"Music", true, "standard folder"},
    {"Movies", true, "standard folder"},
    {"Android/data", true, "app-private data"},
    {"Android/obb", true, "an empty standard folder"},
    {"Alarms", true, "an empty standard folder"},
    {"DCIM/Camera/PXL_20230509_101542000.jpg", false, "Moscow"},
    {"DCIM/Camera/PXL_20230621_234005000.jpg", false, "Saint Petersburg"},
    {"DCIM/Camera/PXL_20230702_172011000.jpg", false, "Kazan"},
    {"DCIM/Camera/PXL_20230814_200533000.jpg", false, "Paris"},
    {"DCIM/Camera/PXL_20231028_190257000.jpg", false, "Tokyo"},
    {"DCIM/Camera/PXL_20240317_164520000.jpg", false, "New York"},
    {"DCIM/Camera/PXL_20230702_172015000.dng", false, "the raw photo"},
    {"DCIM/Camera/PXL_20231028_190306000.heic", false, "the HEIC photo"},
    {"DCIM/.thumbnails/.nomedia", false, "a hidden file in a hidden folder"},
    {"Documents/Boarding pass.pdf", false, "a PDF"},
    {"Documents/Shopping list.txt", false, "a text file"},
    {"Documents/..draft notes.txt", false, "a name starting with two dots"},
    {"Documents/Отчёты и договоры/Договор аренды.pdf", false, "Cyrillic folder and file"},
    {"Download/it's mine.txt", false, "a single quote"},
    {"Download/a | b.txt", false, "a pipe"},
    {"Download/say \"hello\".txt", false, "double quotes"},
    {"Download/$(id) & `uname`.txt", false, "shell syntax that must not run"},
    {"Download/-leading dash.txt", false, "looks like an option"},
    {"Download/Empty file.txt", false, "zero bytes"},
    {"Download/Backup 2024-03-01.img", false, "a larger file for transfer progress"},
    {"Pictures/Alice's trip | 2023/Eiffel tower at sunset.jpg", false, "quote and pipe folder"},
    {"Pictures/Фото с дачи/Вечер у реки.jpg", false, "Cyrillic album"},
    {"Music/Morning tune.wav", false, "music"},
    {"Music/Вечерняя мелодия.wav", false, "Cyrillic music name"},
    {"Music/Album 'Sea' | live/01 Waves.wav", false, "quote and pipe in a music folder"},
    {"Movies/White nights.avi", false, "a film"},
};

TEST(SamplePhoneTree, HoldsEveryPromisedItem) {
    for (const PromisedItem& item : promisedItems) {
        const QFileInfo info(samplePhonePath(QString::fromUtf8(item.path)));
        EXPECT_TRUE(info.exists()) << item.path << " (" << item.why << ")";
        EXPECT_EQ(info.isDir(), item.isFolder) << item.path << " (" << item.why << ")";
    }
}

TEST(SamplePhoneTree, NotesArchiveHoldsFiveThousandSmallFiles) {
    const QFileInfoList notes =
        QDir(samplePhonePath(notesArchiveFolder)).entryInfoList(QDir::Files | QDir::NoDotAndDotDot);
    ASSERT_EQ(notes.size(), notesArchiveSize);
    for (const QFileInfo& note : notes) {
        ASSERT_GT(note.size(), 0) << note.fileName().toStdString();
        ASSERT_LT(note.size(), 4096) << note.fileName().toStdString();
    }
}

// Each awkward character must appear in the name of a file and of a folder, because listing,
// entering and copying quote the two differently.
TEST(SamplePhoneTree, AwkwardCharactersAppearInFileAndFolderNames) {
    const struct {
        const char* what;
        QRegularExpression pattern;
    } characters[] = {
        {"single quote", QRegularExpression("'")},
        {"pipe", QRegularExpression("\\|")},
        {"space", QRegularExpression(" ")},
        {"Cyrillic letter", QRegularExpression("\\p{Cyrillic}")},
    };
    QStringList fileNames;
    QStringList folderNames;
    QDirIterator iterator(samplePhonePath(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                          QDirIterator::Subdirectories);
    while (iterator.hasNext()) {
        iterator.next();
        (iterator.fileInfo().isDir() ? folderNames : fileNames).append(iterator.fileName());
    }
    for (const auto& character : characters) {
        EXPECT_FALSE(fileNames.filter(character.pattern).isEmpty())
            << "no file name with a " << character.what;
        EXPECT_FALSE(folderNames.filter(character.pattern).isEmpty())
            << "no folder name with a " << character.what;
    }
}

TEST(SamplePhoneTree, CameraPhotosDecodeAtTheirSize) {
    const std::map<QString, QSize> sizes = {
        {"PXL_20230509_101542000.jpg", {1600, 1200}},
        {"PXL_20230903_074800000.jpg", {1200, 1600}},
        {"PXL_20240126_123000000.jpg", {1600, 1200}},
    };
    for (const auto& [name, size] : sizes) {
        QImageReader reader(samplePhonePath("DCIM/Camera/" + name));
        const QImage image = reader.read();
        EXPECT_EQ(image.size(), size)
            << name.toStdString() << ": " << reader.errorString().toStdString();
    }
}

// Path → content hash and modification time, for comparing two generated trees.
std::map<QString, QString> treeSnapshot(const QString& root) {
    std::map<QString, QString> snapshot;
    QDirIterator iterator(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                          QDirIterator::Subdirectories);
    while (iterator.hasNext()) {
        const QString path = iterator.next();
        const QFileInfo info = iterator.fileInfo();
        const QByteArray content =
            info.isDir()
                ? QByteArray("folder")
                : QCryptographicHash::hash(readBytes(path), QCryptographicHash::Sha256).toHex();
        snapshot[path.mid(root.size())] = QString::fromLatin1(content) + ' ' +
                                          QString::number(info.lastModified().toSecsSinceEpoch());
    }
    return snapshot;
}

TEST(SamplePhoneTree, AnotherRunWritesTheSameBytesAndTimes) {
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const QString output = scratch.filePath("phone");
    QProcess generator;
    generator.start(SAMPLE_PHONE_GENERATOR, {"--output", output});
    ASSERT_TRUE(generator.waitForFinished(120000));
    ASSERT_EQ(generator.exitCode(), 0) << generator.readAllStandardError().toStdString();

    const auto expected = treeSnapshot(samplePhonePath());
    const auto actual = treeSnapshot(output);
    ASSERT_EQ(actual.size(), expected.size());
    for (const auto& [path, fingerprint] : expected) {
        const auto found = actual.find(path);
        ASSERT_NE(found, actual.end()) << path.toStdString();
        EXPECT_EQ(found->second, fingerprint) << path.toStdString();
    }
}

} // namespace
