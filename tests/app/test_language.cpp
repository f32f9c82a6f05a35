// The interface language: which language a launch starts in, how a choice is stored, and
// how texts and the locale identifier follow the current language.
#include "AppLanguageManager.h"
#include "FreshPreferences.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>

namespace {
const QString key = QStringLiteral("selectedAppLanguage");

// Puts the shared manager back to Russian (in a throw-away store) after a test changed it.
struct SharedLanguageReset {
    ~SharedLanguageReset() {
        FreshPreferences scratch;
        AppLanguageManager::shared().setCurrent(AppLanguage::russian);
    }
};
} // namespace

TEST(AppLanguage, startUpLanguageFromTheStoredValue) {
    struct Case {
        const char* name;
        std::function<void(Preferences&)> stored;
        AppLanguage expected;
    };
    const Case cases[] = {
        {"nothing stored", [](Preferences&) {}, AppLanguage::russian},
        {"russian", [](Preferences& p) { p.setText(key, "russian"); }, AppLanguage::russian},
        {"english", [](Preferences& p) { p.setText(key, "english"); }, AppLanguage::english},
        {"capital E is not english", [](Preferences& p) { p.setText(key, "English"); },
         AppLanguage::russian},
        {"padded", [](Preferences& p) { p.setText(key, " english"); }, AppLanguage::russian},
        {"empty text", [](Preferences& p) { p.setText(key, ""); }, AppLanguage::russian},
        {"not a text", [](Preferences& p) { p.setBoolean(key, true); }, AppLanguage::russian},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FreshPreferences fresh;
        c.stored(fresh.store());
        const AppLanguageManager manager;
        EXPECT_EQ(manager.current(), c.expected);
    }
}

TEST(AppLanguage, choosingALanguageNotifiesStoresAndLastsToTheNextLaunch) {
    FreshPreferences fresh;
    AppLanguageManager manager;
    QSignalSpy changed(&manager, &AppLanguageManager::currentChanged);

    manager.setCurrent(AppLanguage::english);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(fresh.store().text(key), QStringLiteral("english"));
    EXPECT_EQ(AppLanguageManager().current(), AppLanguage::english);

    // From QML the raw value is assigned; an unknown one changes nothing.
    manager.setProperty("current", QStringLiteral("russian"));
    EXPECT_EQ(manager.current(), AppLanguage::russian);
    EXPECT_EQ(fresh.store().text(key), QStringLiteral("russian"));
    manager.setProperty("current", QStringLiteral("English"));
    EXPECT_EQ(manager.current(), AppLanguage::russian);
    EXPECT_EQ(manager.property("current").toString(), QStringLiteral("russian"));
    EXPECT_EQ(changed.count(), 2);
}

TEST(AppLanguage, textsAndLocaleFollowTheSharedLanguageAtTheMomentOfUse) {
    FreshPreferences fresh;
    SharedLanguageReset reset;
    AppLanguageManager::shared().setCurrent(AppLanguage::russian);
    const QString composedInRussian = localizedText("Копирование", "Copying");
    EXPECT_EQ(composedInRussian, QStringLiteral("Копирование"));
    EXPECT_EQ(interfaceLocaleIdentifier(), QStringLiteral("ru_RU"));

    AppLanguageManager::shared().setCurrent(AppLanguage::english);
    EXPECT_EQ(localizedText("Копирование", "Copying"), QStringLiteral("Copying"));
    EXPECT_EQ(interfaceLocaleIdentifier(), QStringLiteral("en_US"));
    EXPECT_EQ(composedInRussian, QStringLiteral("Копирование"));
    EXPECT_EQ(fresh.store().text(key), QStringLiteral("english"));
}

TEST(AppLanguage, pickerListsBothLanguagesByTheirOwnNamesInEitherLanguage) {
    FreshPreferences fresh;
    SharedLanguageReset reset;
    for (AppLanguage interface : allAppLanguages()) {
        AppLanguageManager::shared().setCurrent(interface);
        const QVariantList choices = AppLanguageManager::shared().choices();
        ASSERT_EQ(choices.size(), 2);
        EXPECT_EQ(choices[0].toMap().value("value"), QStringLiteral("russian"));
        EXPECT_EQ(choices[0].toMap().value("label"), QStringLiteral("Русский"));
        EXPECT_EQ(choices[1].toMap().value("value"), QStringLiteral("english"));
        EXPECT_EQ(choices[1].toMap().value("label"), QStringLiteral("English"));
    }
    for (AppLanguage language : allAppLanguages())
        EXPECT_EQ(appLanguageFromRawValue(appLanguageRawValue(language)), language);
}
