// The interface language: Russian or English, switched at run time and remembered.
// Every user-visible text is a Russian/English pair picked by localizedText when it is used.
#pragma once

#include "BilingualText.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariantList>

#include <optional>

enum class AppLanguage { russian, english };

// All languages, in the picker's order.
QList<AppLanguage> allAppLanguages();
// "russian", "english": the value stored under selectedAppLanguage.
QString appLanguageRawValue(AppLanguage language);
// The language whose raw value is exactly `rawValue`.
std::optional<AppLanguage> appLanguageFromRawValue(const QString& rawValue);
// The language's own name, the same in either interface language.
QString appLanguagePickerLabel(AppLanguage language);

// Lives on the main thread. QML sees `current` as the raw value text ("russian" or
// "english"), so a binding that reads it is redrawn when the language changes.
class AppLanguageManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString current READ currentRawValue WRITE setCurrentRawValue NOTIFY currentChanged)
    // The picker's entries: [{ value: raw value, label: picker label }].
    Q_PROPERTY(QVariantList choices READ choices CONSTANT)

public:
    // A manager starting from the standard preferences store. The application uses the one
    // shared instance; tests create their own over a fresh store.
    explicit AppLanguageManager(QObject* parent = nullptr);

    static AppLanguageManager& shared();

    AppLanguage current() const { return current_; }
    // Publishes the change, then stores the raw value under selectedAppLanguage.
    void setCurrent(AppLanguage language);

    QString currentRawValue() const;
    // An unknown raw value is ignored.
    void setCurrentRawValue(const QString& rawValue);

    QVariantList choices() const;

signals:
    void currentChanged();

private:
    AppLanguage current_;
};

// `english` when the current language is English, `russian` otherwise.
QString localizedText(const QString& russian, const QString& english);
QString localizedText(const BilingualText& text);

// "en_US" when the current language is English, "ru_RU" otherwise: for formatters and
// services that must speak the interface language.
QString interfaceLocaleIdentifier();
