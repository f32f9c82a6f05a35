// Path joining and splitting of device paths, the quoting of paths for the device's shell, and
// the temporary names of transfers.
#include "DevicePath.h"
#include "ShellQuoting.h"
#include "TransferNames.h"

#include <gtest/gtest.h>

TEST(DevicePath, appendingPutsExactlyOneSlashBetween) {
    struct Case {
        const char* parent;
        const char* component;
        const char* joined;
    };
    const Case cases[] = {
        {"/sdcard", "DCIM", "/sdcard/DCIM"},
        {"/sdcard/", "DCIM", "/sdcard/DCIM"},
        {"/sdcard///", "DCIM", "/sdcard/DCIM"},
        {"/", "sdcard", "/sdcard"},
        {"/sdcard", "/DCIM", "/sdcard/DCIM"},
        // A slash inside the name stays: it creates nested folders.
        {"/sdcard", "a/b", "/sdcard/a/b"},
        {"/sdcard", "", "/sdcard"},
        {"/sdcard", "-rf", "/sdcard/-rf"},
        {"/sdcard/Музыка", "Mum's | song.mp3", "/sdcard/Музыка/Mum's | song.mp3"},
        {"", "name", "name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.parent) + " + " + c.component);
        EXPECT_EQ(
            appendingPathComponent(QString::fromUtf8(c.parent), QString::fromUtf8(c.component)),
            QString::fromUtf8(c.joined));
    }
}

TEST(DevicePath, deletingAndReadingTheLastComponent) {
    struct Case {
        const char* path;
        const char* parent;
        const char* last;
    };
    const Case cases[] = {
        {"/sdcard/DCIM/IMG_1.jpg", "/sdcard/DCIM", "IMG_1.jpg"},
        {"/sdcard/DCIM/", "/sdcard", "DCIM"},
        {"/sdcard", "/", "sdcard"},
        {"/", "/", "/"},
        {"name", "", "name"},
        {"/sdcard/a|b.txt", "/sdcard", "a|b.txt"},
        {"/sdcard/..data", "/sdcard", "..data"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const QString path = QString::fromUtf8(c.path);
        EXPECT_EQ(deletingLastPathComponent(path), QString::fromUtf8(c.parent));
        EXPECT_EQ(lastPathComponent(path), QString::fromUtf8(c.last));
    }
}

TEST(ShellQuoting, wrapsInSingleQuotesAndEscapesOnlySingleQuotes) {
    struct Case {
        const char* text;
        const char* quoted;
    };
    const Case cases[] = {
        {"it's", R"('it'\''s')"},
        {"/sdcard/Mum's photos", R"('/sdcard/Mum'\''s photos')"},
        {"''", R"(''\'''\''')"},
        {"", "''"},
        // Everything else the shell would read is inert inside single quotes.
        {"$(rm -rf /) `x` \"y\" | ; & * \\", R"('$(rm -rf /) `x` "y" | ; & * \')"},
        {"Фото", "'Фото'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(quote(QString::fromUtf8(c.text)), QString::fromUtf8(c.quoted));
    }
}

TEST(TransferNames, partialNamesFitInAFileSystemName) {
    const QString identifier = newTransferIdentifier();
    const QString suffix = ".afm-partial-" + identifier;
    struct Case {
        const char* title;
        QString fileName;
        // The start of the name that is kept.
        QString kept;
    };
    const Case cases[] = {
        {"short", "IMG_1.jpg", "IMG_1.jpg"},
        {"exactly fitting", QString(205, 'a'), QString(205, 'a')},
        {"one byte over", QString(206, 'a'), QString(205, 'a')},
        {"two-byte letters", QString(120, QChar(0x0416)), QString(102, QChar(0x0416))},
        // A four-byte character is never cut in half.
        {"emoji at the cut", QString(203, 'a') + QString::fromUtf8("\xF0\x9F\x98\x80"),
         QString(203, 'a')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        const QString name = partialName(c.fileName, identifier);
        EXPECT_EQ(name, "." + c.kept + suffix);
        EXPECT_LE(name.toUtf8().size(), 255);
        EXPECT_EQ(QString::fromUtf8(name.toUtf8()), name);
    }
}
