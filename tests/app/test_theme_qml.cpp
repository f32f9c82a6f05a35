// The language and theme managers as QML sees them: bindings that read them are redrawn
// when the language, the theme or the system appearance changes, and icons resolve.
#include "AppLanguageManager.h"
#include "AppThemeManager.h"
#include "FreshPreferences.h"
#include "SymbolIcons.h"

#include <QGuiApplication>
#include <QPalette>
#include <QQmlComponent>
#include <QQmlEngine>

#include <gtest/gtest.h>

#include <memory>

namespace {

const char* const probeSource = R"(
import QtQml
import Probe
QtObject {
    property var accent: AppThemeManager.palette.accent
    property var invoked: AppThemeManager.themeColor("accent")
    property bool dark: AppThemeManager.dark
    property string title: AppLanguageManager.current === "english" ? "Copying" : "Копирование"
    property string themeLabel: AppThemeManager.choices[2].label
    property url folderIcon: SymbolIcons.source("folder.fill")
    function chooseTheme(value) { AppThemeManager.current = value }
    function chooseLanguage(value) { AppLanguageManager.current = value }
}
)";

class QmlProbe {
public:
    QmlProbe() {
        QQmlComponent component(&engine_);
        component.setData(probeSource, QUrl());
        object_.reset(component.create());
        if (!object_)
            ADD_FAILURE() << component.errorString().toStdString();
    }

    QVariant read(const char* name) const { return object_->property(name); }
    void call(const char* function, const QString& value) {
        QMetaObject::invokeMethod(object_.get(), function, Q_ARG(QVariant, value));
    }

private:
    QQmlEngine engine_;
    std::unique_ptr<QObject> object_;
};

} // namespace

TEST(ThemeInQml, bindingsFollowTheThemeTheLanguageAndTheSystem) {
    FreshPreferences fresh;
    const QPalette systemPalette = QGuiApplication::palette();
    AppThemeManager::shared().setCurrent(AppTheme::light);
    AppLanguageManager::shared().setCurrent(AppLanguage::russian);
    QmlProbe probe;

    EXPECT_EQ(probe.read("accent").value<QColor>(), ThemePalette::light().accent);
    EXPECT_EQ(probe.read("invoked").value<QColor>(), ThemePalette::light().accent);
    EXPECT_EQ(probe.read("title").toString(), QStringLiteral("Копирование"));
    EXPECT_EQ(probe.read("themeLabel").toString(), QStringLiteral("Тёмная"));

    probe.call("chooseTheme", QStringLiteral("dark"));
    EXPECT_EQ(AppThemeManager::shared().current(), AppTheme::dark);
    EXPECT_EQ(probe.read("accent").value<QColor>(), ThemePalette::dark().accent);
    EXPECT_TRUE(probe.read("dark").toBool());
    EXPECT_EQ(fresh.store().text(QStringLiteral("selectedAppTheme")), QStringLiteral("dark"));

    probe.call("chooseLanguage", QStringLiteral("english"));
    EXPECT_EQ(probe.read("title").toString(), QStringLiteral("Copying"));
    EXPECT_EQ(probe.read("themeLabel").toString(), QStringLiteral("Dark"));

    // Under `system`, a dark system palette reaches the binding without any other change.
    probe.call("chooseTheme", QStringLiteral("system"));
    QPalette dark = systemPalette;
    dark.setColor(QPalette::Window, QColor(28, 28, 30));
    QGuiApplication::setPalette(dark);
    EXPECT_EQ(probe.read("accent").value<QColor>(), ThemePalette::dark().accent);
    QGuiApplication::setPalette(systemPalette);
    EXPECT_EQ(probe.read("accent").value<QColor>(), ThemePalette::light().accent);

    EXPECT_EQ(probe.read("folderIcon").toUrl(), iconSource(QStringLiteral("folder.fill")));
    AppLanguageManager::shared().setCurrent(AppLanguage::russian);
}

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    qmlRegisterSingletonInstance("Probe", 1, 0, "AppThemeManager", &AppThemeManager::shared());
    qmlRegisterSingletonInstance("Probe", 1, 0, "AppLanguageManager",
                                 &AppLanguageManager::shared());
    qmlRegisterSingletonInstance("Probe", 1, 0, "SymbolIcons", &SymbolIcons::shared());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
