// The fourteen named colours of one appearance of the interface, light or dark.
#pragma once

#include <QColor>
#include <QObject>
#include <QStringList>

#include <optional>

class ThemePalette {
    Q_GADGET
    Q_PROPERTY(QColor accent MEMBER accent CONSTANT)
    Q_PROPERTY(QColor accentHover MEMBER accentHover CONSTANT)
    Q_PROPERTY(QColor windowBackground MEMBER windowBackground CONSTANT)
    Q_PROPERTY(QColor sidebarBackground MEMBER sidebarBackground CONSTANT)
    Q_PROPERTY(QColor surface MEMBER surface CONSTANT)
    Q_PROPERTY(QColor surfaceSecondary MEMBER surfaceSecondary CONSTANT)
    Q_PROPERTY(QColor border MEMBER border CONSTANT)
    Q_PROPERTY(QColor textPrimary MEMBER textPrimary CONSTANT)
    Q_PROPERTY(QColor textSecondary MEMBER textSecondary CONSTANT)
    Q_PROPERTY(QColor connected MEMBER connected CONSTANT)
    Q_PROPERTY(QColor disconnected MEMBER disconnected CONSTANT)
    Q_PROPERTY(QColor warning MEMBER warning CONSTANT)
    Q_PROPERTY(QColor selection MEMBER selection CONSTANT)
    Q_PROPERTY(QColor scrollbar MEMBER scrollbar CONSTANT)

public:
    QColor accent;
    QColor accentHover;
    QColor windowBackground;
    QColor sidebarBackground;
    QColor surface;
    QColor surfaceSecondary;
    QColor border;
    QColor textPrimary;
    QColor textSecondary;
    QColor connected;
    QColor disconnected;
    QColor warning;
    QColor selection;
    QColor scrollbar;

    static const ThemePalette& light();
    static const ThemePalette& dark();

    // The field names, in order.
    static QStringList fieldNames();
    // The colour of the field named `fieldName`; none for an unknown name.
    std::optional<QColor> color(const QString& fieldName) const;

    friend bool operator==(const ThemePalette&, const ThemePalette&) = default;
};
