#include "QmlEnvironment.h"

#include "AppLanguageManager.h"
#include "AppThemeManager.h"
#include "SymbolIcons.h"

#include <QQmlContext>
#include <QQmlEngine>

namespace {

// The icon table as QML sees it: Icons.source("power").
class IconTable : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    Q_INVOKABLE QUrl source(const QString& symbolName) const { return iconSource(symbolName); }
};

} // namespace

void installQmlEnvironment(QQmlEngine& engine) {
    // Our QML modules sit at the root of the resource system.
    engine.addImportPath(QStringLiteral("qrc:/"));
    QQmlContext* context = engine.rootContext();
    context->setContextProperty(QStringLiteral("LanguageManager"), &AppLanguageManager::shared());
    context->setContextProperty(QStringLiteral("Theme"), &AppThemeManager::shared());
    context->setContextProperty(QStringLiteral("Icons"), new IconTable(&engine));
}

#include "QmlEnvironment.moc"
