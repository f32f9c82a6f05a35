// The symbol icon table: every symbol the views use has an icon that exists in the
// resources and draws, and the icon set's licence travels with it.
#include "SymbolIcons.h"

#include <QFile>
#include <QSvgRenderer>

#include <gtest/gtest.h>

TEST(SymbolIcons, everyKnownSymbolHasADrawableSvgInTheResources) {
    ASSERT_FALSE(knownSymbolNames().isEmpty());
    for (const QString& symbol : knownSymbolNames()) {
        SCOPED_TRACE(symbol.toStdString());
        const QString path = iconResourcePath(symbol);
        ASSERT_TRUE(QFile::exists(path)) << path.toStdString();
        QSvgRenderer renderer(path);
        EXPECT_TRUE(renderer.isValid());
        EXPECT_FALSE(renderer.viewBoxF().isEmpty());
        EXPECT_EQ(iconSource(symbol), QUrl(QStringLiteral("qrc") + path));
        EXPECT_EQ(SymbolIcons::shared().source(symbol), iconSource(symbol));
    }
}

TEST(SymbolIcons, symbolsOfTheFirstViewsAreCovered) {
    const char* const symbols[] = {// integrity failure screen
                                   "exclamationmark.triangle.fill", "power",
                                   // file kinds of device files
                                   "folder.fill", "photo.fill", "film.fill", "music.note",
                                   "doc.richtext.fill", "archivebox.fill", "doc.fill",
                                   // sidebar locations
                                   "internaldrive.fill", "arrow.down.circle.fill",
                                   "photo.on.rectangle.angled", "doc.text.fill",
                                   // battery levels
                                   "battery.0percent", "battery.25percent", "battery.50percent",
                                   "battery.75percent", "battery.100percent",
                                   "battery.100percent.bolt"};
    for (const char* symbol : symbols)
        EXPECT_FALSE(iconSource(QString::fromLatin1(symbol)).isEmpty()) << symbol;
}

TEST(SymbolIcons, unknownSymbolsHaveNoIcon) {
    for (const char* symbol : {"", "folder.fill.extra", "Folder.Fill", "../icons/power"}) {
        EXPECT_TRUE(iconSource(QString::fromLatin1(symbol)).isEmpty()) << symbol;
        EXPECT_TRUE(iconResourcePath(QString::fromLatin1(symbol)).isEmpty()) << symbol;
    }
}

TEST(SymbolIcons, licenceTextIsBundled) {
    const QString licence = iconSetLicenseText();
    EXPECT_TRUE(licence.contains(QStringLiteral("Bootstrap Icons")));
    EXPECT_TRUE(licence.contains(QStringLiteral("Permission is hereby granted")));
}
