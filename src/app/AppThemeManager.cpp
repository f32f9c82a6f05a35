#include "AppThemeManager.h"

#include "AppLanguageManager.h"
#include "Preferences.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPalette>
#include <QVariantMap>

namespace {
const QString preferenceKey = QStringLiteral("selectedAppTheme");
}

QList<AppTheme> allAppThemes() {
    return {AppTheme::system, AppTheme::light, AppTheme::dark};
}

QString appThemeRawValue(AppTheme theme) {
    switch (theme) {
    case AppTheme::system:
        return QStringLiteral("system");
    case AppTheme::light:
        return QStringLiteral("light");
    case AppTheme::dark:
        return QStringLiteral("dark");
    }
    return {};
}

std::optional<AppTheme> appThemeFromRawValue(const QString& rawValue) {
    for (AppTheme theme : allAppThemes()) {
        if (appThemeRawValue(theme) == rawValue)
            return theme;
    }
    return std::nullopt;
}

QString appThemePickerLabel(AppTheme theme) {
    switch (theme) {
    case AppTheme::system:
        return localizedText(QStringLiteral("Системная"), QStringLiteral("System"));
    case AppTheme::light:
        return localizedText(QStringLiteral("Светлая"), QStringLiteral("Light"));
    case AppTheme::dark:
        return localizedText(QStringLiteral("Тёмная"), QStringLiteral("Dark"));
    }
    return {};
}

AppThemeManager::AppThemeManager(QObject* parent)
    : QObject(parent),
      current_(appThemeFromRawValue(Preferences::standard().text(preferenceKey).value_or(QString()))
                   .value_or(AppTheme::system)) {
    dark_ = isDark();
    // The system appearance reaches the application as a palette change.
    if (qApp)
        qApp->installEventFilter(this);
    connect(&AppLanguageManager::shared(), &AppLanguageManager::currentChanged, this,
            &AppThemeManager::choicesChanged);
}

AppThemeManager& AppThemeManager::shared() {
    static AppThemeManager instance;
    return instance;
}

void AppThemeManager::setCurrent(AppTheme theme) {
    current_ = theme;
    emit currentChanged();
    updateDarkness();
    Preferences::standard().setText(preferenceKey, appThemeRawValue(theme));
}

QString AppThemeManager::currentRawValue() const {
    return appThemeRawValue(current_);
}

void AppThemeManager::setCurrentRawValue(const QString& rawValue) {
    if (const auto theme = appThemeFromRawValue(rawValue))
        setCurrent(*theme);
}

const ThemePalette& AppThemeManager::palette() const {
    return isDark() ? ThemePalette::dark() : ThemePalette::light();
}

bool AppThemeManager::isDark() const {
    switch (current_) {
    case AppTheme::light:
        return false;
    case AppTheme::dark:
        return true;
    case AppTheme::system:
        return systemAppearanceIsDark();
    }
    return false;
}

QColor AppThemeManager::themeColor(const QString& field) const {
    return palette().color(field).value_or(QColor());
}

QVariantList AppThemeManager::choices() const {
    QVariantList entries;
    for (AppTheme theme : allAppThemes()) {
        entries.append(QVariantMap{{QStringLiteral("value"), appThemeRawValue(theme)},
                                   {QStringLiteral("label"), appThemePickerLabel(theme)}});
    }
    return entries;
}

// Qt 6.4 has no colour-scheme hint; the platform theme gives the application a dark palette
// when the system appearance is dark, so the palette's window colour tells.
bool AppThemeManager::systemAppearanceIsDark() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return false;
    const QColor window = QGuiApplication::palette().color(QPalette::Window);
    return window.lightness() < 128;
}

bool AppThemeManager::eventFilter(QObject* watched, QEvent* event) {
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange)
        updateDarkness();
    return QObject::eventFilter(watched, event);
}

void AppThemeManager::updateDarkness() {
    const bool dark = isDark();
    if (dark == dark_)
        return;
    dark_ = dark;
    emit paletteChanged();
}

QColor themeColor(QColor ThemePalette::*field) {
    return AppThemeManager::shared().palette().*field;
}
