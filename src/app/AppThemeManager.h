// The interface's colour theme: follow the system appearance, or always light, or always dark.
// Views look every colour up here when they draw, so a change redraws them with the other
// palette.
#pragma once

#include "ThemePalette.h"

#include <QList>
#include <QObject>
#include <QVariantList>

#include <optional>

enum class AppTheme { system, light, dark };

// All themes, in the picker's order.
QList<AppTheme> allAppThemes();
// "system", "light", "dark": the value stored under selectedAppTheme.
QString appThemeRawValue(AppTheme theme);
std::optional<AppTheme> appThemeFromRawValue(const QString& rawValue);
// "System" / "Системная", … in the current interface language.
QString appThemePickerLabel(AppTheme theme);

// Lives on the main thread. QML sees `current` as the raw value text and binds colours
// through `palette` (`AppThemeManager.palette.accent`), which changes with the choice and,
// under `system`, with the system's appearance.
class AppThemeManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString current READ currentRawValue WRITE setCurrentRawValue NOTIFY currentChanged)
    Q_PROPERTY(ThemePalette palette READ palette NOTIFY paletteChanged)
    // Whether the palette in force is the dark one: the colour scheme windows should take.
    Q_PROPERTY(bool dark READ isDark NOTIFY paletteChanged)
    // The picker's entries: [{ value: raw value, label: localized label }].
    Q_PROPERTY(QVariantList choices READ choices NOTIFY choicesChanged)

public:
    // A manager starting from the standard preferences store. The application uses the one
    // shared instance; tests create their own over a fresh store.
    explicit AppThemeManager(QObject* parent = nullptr);

    static AppThemeManager& shared();

    AppTheme current() const { return current_; }
    // Publishes the change, then stores the raw value under selectedAppTheme.
    void setCurrent(AppTheme theme);

    QString currentRawValue() const;
    // An unknown raw value is ignored.
    void setCurrentRawValue(const QString& rawValue);

    // The palette for the current choice and, under `system`, the system's appearance now.
    const ThemePalette& palette() const;
    bool isDark() const;

    // One palette colour by field name ("accent", "windowBackground", …); invalid when
    // there is no such field. QML bindings that must follow changes read `palette` instead.
    Q_INVOKABLE QColor themeColor(const QString& field) const;

    QVariantList choices() const;

    // Whether the system's appearance is dark now.
    static bool systemAppearanceIsDark();

signals:
    void currentChanged();
    void paletteChanged();
    void choicesChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateDarkness();

    AppTheme current_;
    bool dark_ = false;
};

// The colour of one palette field under the shared manager's choice.
QColor themeColor(QColor ThemePalette::*field);
