// The colour theme: which theme a launch starts with, how a choice is stored, the two
// palettes' exact colours, and `system` following the system's appearance.
#include "AppLanguageManager.h"
#include "AppThemeManager.h"
#include "FreshPreferences.h"

#include <QGuiApplication>
#include <QPalette>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString key = QStringLiteral("selectedAppTheme");

// Makes the application's palette look like the system's light or dark appearance for as
// long as it lives.
class SystemAppearance {
public:
    explicit SystemAppearance(bool dark) : saved_(QGuiApplication::palette()) {
        QPalette palette = saved_;
        palette.setColor(QPalette::Window, dark ? QColor(30, 30, 30) : QColor(239, 239, 239));
        palette.setColor(QPalette::WindowText, dark ? Qt::white : Qt::black);
        QGuiApplication::setPalette(palette);
    }
    ~SystemAppearance() { QGuiApplication::setPalette(saved_); }

private:
    QPalette saved_;
};

struct Rgba {
    int red, green, blue;
    double alpha;
};

void expectColor(const QColor& color, Rgba expected) {
    EXPECT_EQ(color.red(), expected.red);
    EXPECT_EQ(color.green(), expected.green);
    EXPECT_EQ(color.blue(), expected.blue);
    EXPECT_NEAR(color.alphaF(), expected.alpha, 1e-4);
}

} // namespace

TEST(AppTheme, startUpThemeFromTheStoredValue) {
    struct Case {
        const char* name;
        std::function<void(Preferences&)> stored;
        AppTheme expected;
    };
    const Case cases[] = {
        {"nothing stored", [](Preferences&) {}, AppTheme::system},
        {"light", [](Preferences& p) { p.setText(key, "light"); }, AppTheme::light},
        {"dark", [](Preferences& p) { p.setText(key, "dark"); }, AppTheme::dark},
        {"system", [](Preferences& p) { p.setText(key, "system"); }, AppTheme::system},
        {"capitalised", [](Preferences& p) { p.setText(key, "Dark"); }, AppTheme::system},
        {"unknown", [](Preferences& p) { p.setText(key, "sepia"); }, AppTheme::system},
        {"not a text", [](Preferences& p) { p.setInteger(key, 2); }, AppTheme::system},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FreshPreferences fresh;
        c.stored(fresh.store());
        EXPECT_EQ(AppThemeManager().current(), c.expected);
    }
}

TEST(AppTheme, choosingAThemeNotifiesStoresAndLastsToTheNextLaunch) {
    FreshPreferences fresh;
    const SystemAppearance lightSystem(false);
    AppThemeManager manager;
    QSignalSpy currentChanged(&manager, &AppThemeManager::currentChanged);
    QSignalSpy paletteChanged(&manager, &AppThemeManager::paletteChanged);

    manager.setCurrent(AppTheme::dark);
    EXPECT_EQ(currentChanged.count(), 1);
    EXPECT_EQ(paletteChanged.count(), 1);
    EXPECT_EQ(fresh.store().text(key), QStringLiteral("dark"));
    EXPECT_EQ(AppThemeManager().current(), AppTheme::dark);

    // Light under a light system draws the same colours as before dark: the palette changes
    // once more, the choice is still stored.
    manager.setProperty("current", QStringLiteral("system"));
    EXPECT_EQ(manager.current(), AppTheme::system);
    EXPECT_EQ(fresh.store().text(key), QStringLiteral("system"));
    EXPECT_EQ(paletteChanged.count(), 2);
    manager.setProperty("current", QStringLiteral("light"));
    EXPECT_EQ(paletteChanged.count(), 2);
    EXPECT_EQ(fresh.store().text(key), QStringLiteral("light"));

    manager.setProperty("current", QStringLiteral("Dark"));
    EXPECT_EQ(manager.current(), AppTheme::light);
}

TEST(AppTheme, choiceAndSystemAppearanceSelectThePalette) {
    struct Case {
        AppTheme theme;
        bool systemDark;
        bool expectDark;
    };
    const Case cases[] = {
        {AppTheme::system, false, false}, {AppTheme::system, true, true},
        {AppTheme::light, true, false},   {AppTheme::light, false, false},
        {AppTheme::dark, false, true},    {AppTheme::dark, true, true},
    };
    FreshPreferences fresh;
    for (const Case& c : cases) {
        SCOPED_TRACE(appThemeRawValue(c.theme).toStdString() + (c.systemDark ? " dark" : " light"));
        const SystemAppearance system(c.systemDark);
        AppThemeManager manager;
        manager.setCurrent(c.theme);
        EXPECT_EQ(manager.isDark(), c.expectDark);
        EXPECT_EQ(manager.palette(), c.expectDark ? ThemePalette::dark() : ThemePalette::light());
        EXPECT_EQ(manager.property("dark").toBool(), c.expectDark);
        EXPECT_EQ(manager.property("palette").value<ThemePalette>(), manager.palette());
        EXPECT_EQ(manager.themeColor("windowBackground"), manager.palette().windowBackground);
    }
}

TEST(AppTheme, systemChoiceFollowsALaterAppearanceChange) {
    FreshPreferences fresh;
    const SystemAppearance light(false);
    AppThemeManager manager;
    manager.setCurrent(AppTheme::system);
    QSignalSpy paletteChanged(&manager, &AppThemeManager::paletteChanged);
    {
        const SystemAppearance dark(true);
        EXPECT_EQ(paletteChanged.count(), 1);
        EXPECT_EQ(manager.palette(), ThemePalette::dark());
    }
    EXPECT_EQ(paletteChanged.count(), 2);
    EXPECT_EQ(manager.palette(), ThemePalette::light());

    // A fixed choice ignores the system.
    manager.setCurrent(AppTheme::light);
    paletteChanged.clear();
    const SystemAppearance dark(true);
    EXPECT_EQ(paletteChanged.count(), 0);
    EXPECT_EQ(manager.palette(), ThemePalette::light());
}

TEST(AppTheme, paletteColoursAreExact) {
    struct Case {
        const char* field;
        Rgba light;
        Rgba dark;
    };
    const Case cases[] = {
        {"accent", {69, 122, 245, 1}, {99, 148, 255, 1}},
        {"accentHover", {51, 99, 224, 1}, {122, 168, 255, 1}},
        {"windowBackground", {246, 247, 250, 1}, {19, 22, 27, 1}},
        {"sidebarBackground", {237, 240, 245, 1}, {24, 27, 33, 1}},
        {"surface", {255, 255, 255, 1}, {29, 32, 38, 1}},
        {"surfaceSecondary", {240, 242, 247, 1}, {36, 38, 46, 1}},
        {"border", {0, 0, 0, 0.10}, {255, 255, 255, 0.12}},
        {"textPrimary", {20, 23, 31, 1}, {240, 242, 250, 1}},
        {"textSecondary", {99, 107, 122, 1}, {163, 171, 186, 1}},
        {"connected", {51, 179, 99, 1}, {77, 199, 117, 1}},
        {"disconnected", {235, 79, 79, 1}, {255, 99, 99, 1}},
        {"warning", {240, 158, 41, 1}, {255, 176, 61, 1}},
        {"selection", {69, 122, 245, 0.14}, {99, 148, 255, 0.22}},
        {"scrollbar", {91, 140, 250, 0.72}, {121, 165, 255, 0.78}},
    };
    QStringList fields;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        fields.append(QString::fromLatin1(c.field));
        const auto light = ThemePalette::light().color(QString::fromLatin1(c.field));
        const auto dark = ThemePalette::dark().color(QString::fromLatin1(c.field));
        ASSERT_TRUE(light && dark);
        expectColor(*light, c.light);
        expectColor(*dark, c.dark);
    }
    EXPECT_EQ(ThemePalette::fieldNames(), fields);
    EXPECT_FALSE(ThemePalette::light().color(QStringLiteral("background")).has_value());
    EXPECT_FALSE(AppThemeManager().themeColor(QStringLiteral("background")).isValid());
}

TEST(AppTheme, sharedLookupByField) {
    FreshPreferences fresh;
    const AppTheme saved = AppThemeManager::shared().current();
    AppThemeManager::shared().setCurrent(AppTheme::dark);
    EXPECT_EQ(themeColor(&ThemePalette::warning), ThemePalette::dark().warning);
    AppThemeManager::shared().setCurrent(AppTheme::light);
    EXPECT_EQ(themeColor(&ThemePalette::warning), ThemePalette::light().warning);
    AppThemeManager::shared().setCurrent(saved);
}

TEST(AppTheme, pickerLabelsFollowTheInterfaceLanguage) {
    FreshPreferences fresh;
    AppThemeManager manager;
    QSignalSpy choicesChanged(&manager, &AppThemeManager::choicesChanged);
    const auto labels = [&manager] {
        QStringList texts;
        for (const QVariant& choice : manager.choices())
            texts.append(choice.toMap().value("value").toString() + "=" +
                         choice.toMap().value("label").toString());
        return texts;
    };
    AppLanguageManager::shared().setCurrent(AppLanguage::english);
    EXPECT_EQ(labels(), QStringList({"system=System", "light=Light", "dark=Dark"}));
    AppLanguageManager::shared().setCurrent(AppLanguage::russian);
    EXPECT_EQ(labels(), QStringList({"system=Системная", "light=Светлая", "dark=Тёмная"}));
    EXPECT_EQ(choicesChanged.count(), 2);
}

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
