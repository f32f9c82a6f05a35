#include "QmlEnvironment.h"

#include "AppLanguageManager.h"
#include "AppThemeManager.h"
#include "SymbolIcons.h"

#include <QQmlContext>
#include <QQmlEngine>

void installQmlEnvironment(QQmlEngine& engine) {
    // Our QML modules sit at the root of the resource system.
    engine.addImportPath(QStringLiteral("qrc:/"));
    QQmlContext* context = engine.rootContext();
    context->setContextProperty(QStringLiteral("LanguageManager"), &AppLanguageManager::shared());
    context->setContextProperty(QStringLiteral("Theme"), &AppThemeManager::shared());
    context->setContextProperty(QStringLiteral("Icons"), &SymbolIcons::shared());
}
