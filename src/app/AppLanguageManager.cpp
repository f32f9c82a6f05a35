#include "AppLanguageManager.h"

#include "Preferences.h"

#include <QVariantMap>

namespace {
const QString preferenceKey = QStringLiteral("selectedAppLanguage");
}

QList<AppLanguage> allAppLanguages() {
    return {AppLanguage::russian, AppLanguage::english};
}

QString appLanguageRawValue(AppLanguage language) {
    switch (language) {
    case AppLanguage::russian:
        return QStringLiteral("russian");
    case AppLanguage::english:
        return QStringLiteral("english");
    }
    return {};
}

std::optional<AppLanguage> appLanguageFromRawValue(const QString& rawValue) {
    for (AppLanguage language : allAppLanguages()) {
        if (appLanguageRawValue(language) == rawValue)
            return language;
    }
    return std::nullopt;
}

QString appLanguagePickerLabel(AppLanguage language) {
    switch (language) {
    case AppLanguage::russian:
        return QStringLiteral("Русский");
    case AppLanguage::english:
        return QStringLiteral("English");
    }
    return {};
}

// The system's preferred languages play no part: only a stored "english" gives English.
AppLanguageManager::AppLanguageManager(QObject* parent)
    : QObject(parent),
      current_(Preferences::standard().text(preferenceKey) == QStringLiteral("english")
                   ? AppLanguage::english
                   : AppLanguage::russian) {}

AppLanguageManager& AppLanguageManager::shared() {
    static AppLanguageManager instance;
    return instance;
}

void AppLanguageManager::setCurrent(AppLanguage language) {
    current_ = language;
    emit currentChanged();
    Preferences::standard().setText(preferenceKey, appLanguageRawValue(language));
}

QString AppLanguageManager::currentRawValue() const {
    return appLanguageRawValue(current_);
}

void AppLanguageManager::setCurrentRawValue(const QString& rawValue) {
    if (const auto language = appLanguageFromRawValue(rawValue))
        setCurrent(*language);
}

QVariantList AppLanguageManager::choices() const {
    QVariantList entries;
    for (AppLanguage language : allAppLanguages()) {
        entries.append(QVariantMap{{QStringLiteral("value"), appLanguageRawValue(language)},
                                   {QStringLiteral("label"), appLanguagePickerLabel(language)}});
    }
    return entries;
}

QString localizedText(const QString& russian, const QString& english) {
    return AppLanguageManager::shared().current() == AppLanguage::english ? english : russian;
}

QString localizedText(const BilingualText& text) {
    return localizedText(text.russian, text.english);
}

QString interfaceLocaleIdentifier() {
    return AppLanguageManager::shared().current() == AppLanguage::english ? QStringLiteral("en_US")
                                                                          : QStringLiteral("ru_RU");
}
