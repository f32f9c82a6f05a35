// Pavrel: starts the diagnostic session, builds the window's view model and shows the window.
#include "ADBIntegrityChecker.h"
#include "AppBundle.h"
#include "AppDelegate.h"
#include "AppViewModel.h"
#include "DiagnosticLogger.h"
#include "QmlEnvironment.h"

#include <QApplication>
#include <QQmlApplicationEngine>
#include <QQuickStyle>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(PavrelPlugin)
Q_IMPORT_QML_PLUGIN(Pavrel_UiPlugin)

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pavrel"));
    QApplication::setOrganizationDomain(QStringLiteral("pavrel.app"));
    QApplication::setQuitOnLastWindowClosed(true);
    QQuickStyle::setStyle(QStringLiteral("Basic"));

    // The session file starts with its header before anything else is logged.
    DiagnosticLogger::shared();

    AppDelegate delegate;
    delegate.scheduleLaunchChores();

    AppViewModel viewModel(std::make_shared<ADBIntegrityChecker>(AppBundle::main()));

    QQmlApplicationEngine engine;
    installQmlEnvironment(engine);
    engine.setInitialProperties({{QStringLiteral("viewModel"), QVariant::fromValue(static_cast<QObject*>(&viewModel))}});
    engine.load(QUrl(QStringLiteral("qrc:/Pavrel/Main.qml")));
    if (engine.rootObjects().isEmpty()) {
        return 1;
    }
    return QApplication::exec();
}
