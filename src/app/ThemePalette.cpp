#include "ThemePalette.h"

#include <QMetaProperty>

namespace {

QColor rgb(int red, int green, int blue, double alpha = 1.0) {
    return QColor::fromRgbF(static_cast<float>(red / 255.0), static_cast<float>(green / 255.0),
                            static_cast<float>(blue / 255.0), static_cast<float>(alpha));
}

} // namespace

const ThemePalette& ThemePalette::light() {
    static const ThemePalette palette{
        .accent = rgb(69, 122, 245),
        .accentHover = rgb(51, 99, 224),
        .windowBackground = rgb(246, 247, 250),
        .sidebarBackground = rgb(237, 240, 245),
        .surface = rgb(255, 255, 255),
        .surfaceSecondary = rgb(240, 242, 247),
        .border = rgb(0, 0, 0, 0.10),
        .textPrimary = rgb(20, 23, 31),
        .textSecondary = rgb(99, 107, 122),
        .connected = rgb(51, 179, 99),
        .disconnected = rgb(235, 79, 79),
        .warning = rgb(240, 158, 41),
        .selection = rgb(69, 122, 245, 0.14),
        .scrollbar = rgb(91, 140, 250, 0.72),
    };
    return palette;
}

const ThemePalette& ThemePalette::dark() {
    static const ThemePalette palette{
        .accent = rgb(99, 148, 255),
        .accentHover = rgb(122, 168, 255),
        .windowBackground = rgb(19, 22, 27),
        .sidebarBackground = rgb(24, 27, 33),
        .surface = rgb(29, 32, 38),
        .surfaceSecondary = rgb(36, 38, 46),
        .border = rgb(255, 255, 255, 0.12),
        .textPrimary = rgb(240, 242, 250),
        .textSecondary = rgb(163, 171, 186),
        .connected = rgb(77, 199, 117),
        .disconnected = rgb(255, 99, 99),
        .warning = rgb(255, 176, 61),
        .selection = rgb(99, 148, 255, 0.22),
        .scrollbar = rgb(121, 165, 255, 0.78),
    };
    return palette;
}

QStringList ThemePalette::fieldNames() {
    QStringList names;
    const QMetaObject& meta = staticMetaObject;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i)
        names.append(QString::fromLatin1(meta.property(i).name()));
    return names;
}

std::optional<QColor> ThemePalette::color(const QString& fieldName) const {
    const int index = staticMetaObject.indexOfProperty(fieldName.toLatin1().constData());
    if (index < 0)
        return std::nullopt;
    return staticMetaObject.property(index).readOnGadget(this).value<QColor>();
}
