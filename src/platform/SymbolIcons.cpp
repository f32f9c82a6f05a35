#include "SymbolIcons.h"

#include <QFile>
#include <QHash>

namespace {

// Symbol name → file in resources/icons (Bootstrap Icons; a few composed from its paths).
const QHash<QString, QString>& iconFiles() {
    static const QHash<QString, QString> files{
        {QStringLiteral("archivebox.fill"), QStringLiteral("archive-fill")},
        {QStringLiteral("arrow.clockwise"), QStringLiteral("arrow-clockwise")},
        {QStringLiteral("arrow.down.circle"), QStringLiteral("arrow-down-circle")},
        {QStringLiteral("arrow.down.circle.fill"), QStringLiteral("arrow-down-circle-fill")},
        {QStringLiteral("arrow.right"), QStringLiteral("arrow-right")},
        {QStringLiteral("arrow.triangle.2.circlepath"), QStringLiteral("arrow-repeat")},
        {QStringLiteral("arrow.up.right.square"), QStringLiteral("arrow-up-right-square")},
        {QStringLiteral("battery.0percent"), QStringLiteral("battery")},
        {QStringLiteral("battery.25percent"), QStringLiteral("battery-quarter")},
        {QStringLiteral("battery.50percent"), QStringLiteral("battery-half")},
        {QStringLiteral("battery.75percent"), QStringLiteral("battery-three-quarters")},
        {QStringLiteral("battery.100percent"), QStringLiteral("battery-full")},
        {QStringLiteral("battery.100percent.bolt"), QStringLiteral("battery-charging")},
        {QStringLiteral("cable.connector"), QStringLiteral("usb-plug")},
        {QStringLiteral("cable.connector.slash"), QStringLiteral("usb-plug-slash")},
        {QStringLiteral("chart.bar.xaxis"), QStringLiteral("bar-chart")},
        {QStringLiteral("checkmark.shield"), QStringLiteral("shield-check")},
        {QStringLiteral("chevron.down"), QStringLiteral("chevron-down")},
        {QStringLiteral("chevron.left"), QStringLiteral("chevron-left")},
        {QStringLiteral("chevron.right"), QStringLiteral("chevron-right")},
        {QStringLiteral("chevron.up"), QStringLiteral("chevron-up")},
        {QStringLiteral("circle.lefthalf.filled"), QStringLiteral("circle-half")},
        {QStringLiteral("doc.fill"), QStringLiteral("file-earmark-fill")},
        {QStringLiteral("doc.richtext.fill"), QStringLiteral("file-earmark-richtext-fill")},
        {QStringLiteral("doc.text.fill"), QStringLiteral("file-earmark-text-fill")},
        {QStringLiteral("doc.text.magnifyingglass"), QStringLiteral("file-earmark-text")},
        {QStringLiteral("exclamationmark.circle.fill"), QStringLiteral("exclamation-circle-fill")},
        {QStringLiteral("exclamationmark.triangle.fill"),
         QStringLiteral("exclamation-triangle-fill")},
        {QStringLiteral("externaldrive.badge.questionmark"), QStringLiteral("hdd-question")},
        {QStringLiteral("externaldrive.connected.to.line.below"), QStringLiteral("hdd-network")},
        {QStringLiteral("externaldrive.fill"), QStringLiteral("hdd-fill")},
        {QStringLiteral("film.fill"), QStringLiteral("film")},
        {QStringLiteral("folder"), QStringLiteral("folder")},
        {QStringLiteral("folder.badge.plus"), QStringLiteral("folder-plus")},
        {QStringLiteral("folder.fill"), QStringLiteral("folder-fill")},
        {QStringLiteral("gearshape"), QStringLiteral("gear")},
        {QStringLiteral("gearshape.fill"), QStringLiteral("gear-fill")},
        {QStringLiteral("globe"), QStringLiteral("globe")},
        {QStringLiteral("hand.tap"), QStringLiteral("hand-index")},
        {QStringLiteral("info.circle"), QStringLiteral("info-circle")},
        {QStringLiteral("info.circle.fill"), QStringLiteral("info-circle-fill")},
        {QStringLiteral("internaldrive.fill"), QStringLiteral("device-hdd-fill")},
        {QStringLiteral("iphone.and.arrow.forward.inward"), QStringLiteral("phone-arrow-in")},
        {QStringLiteral("ladybug"), QStringLiteral("bug")},
        {QStringLiteral("ladybug.fill"), QStringLiteral("bug-fill")},
        {QStringLiteral("location.fill"), QStringLiteral("geo-alt-fill")},
        {QStringLiteral("macbook.and.iphone"), QStringLiteral("laptop-and-phone")},
        {QStringLiteral("map.fill"), QStringLiteral("map-fill")},
        {QStringLiteral("music.note"), QStringLiteral("music-note")},
        {QStringLiteral("number"), QStringLiteral("hash")},
        {QStringLiteral("pencil"), QStringLiteral("pencil")},
        {QStringLiteral("photo.badge.exclamationmark"), QStringLiteral("image-exclamation")},
        {QStringLiteral("photo.fill"), QStringLiteral("image-fill")},
        {QStringLiteral("photo.on.rectangle.angled"), QStringLiteral("images")},
        {QStringLiteral("plus.circle"), QStringLiteral("plus-circle")},
        {QStringLiteral("power"), QStringLiteral("power")},
        {QStringLiteral("questionmark.circle"), QStringLiteral("question-circle")},
        {QStringLiteral("safari"), QStringLiteral("compass")},
        {QStringLiteral("sidebar.trailing"), QStringLiteral("layout-sidebar-reverse")},
        {QStringLiteral("square.and.arrow.down"), QStringLiteral("box-arrow-in-down")},
        {QStringLiteral("square.and.arrow.down.fill"), QStringLiteral("arrow-down-square-fill")},
        {QStringLiteral("square.and.arrow.up"), QStringLiteral("box-arrow-up")},
        {QStringLiteral("square.stack.3d.up.fill"), QStringLiteral("stack")},
        {QStringLiteral("terminal"), QStringLiteral("terminal")},
        {QStringLiteral("textformat.size.larger"), QStringLiteral("type")},
        {QStringLiteral("textformat.size.smaller"), QStringLiteral("type-small")},
        {QStringLiteral("trash"), QStringLiteral("trash")},
        {QStringLiteral("wifi"), QStringLiteral("wifi")},
        {QStringLiteral("xmark"), QStringLiteral("x-lg")},
    };
    return files;
}

} // namespace

QString iconResourcePath(const QString& symbolName) {
    const QString file = iconFiles().value(symbolName);
    return file.isEmpty() ? QString() : QStringLiteral(":/icons/%1.svg").arg(file);
}

QUrl iconSource(const QString& symbolName) {
    const QString path = iconResourcePath(symbolName);
    return path.isEmpty() ? QUrl() : QUrl(QStringLiteral("qrc") + path);
}

QStringList knownSymbolNames() {
    QStringList names = iconFiles().keys();
    names.sort();
    return names;
}

QString iconSetLicenseText() {
    QFile file(QStringLiteral(":/icons/LICENSE.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

SymbolIcons& SymbolIcons::shared() {
    static SymbolIcons instance;
    return instance;
}
