#include "AppDelegate.h"

#include "AppBundle.h"
#include "DiagnosticLogger.h"

#include <QGuiApplication>
#include <QIcon>
#include <QTimer>

void AppDelegate::scheduleLaunchChores() {
    QTimer::singleShot(0, this, &AppDelegate::applicationDidFinishLaunching);
}

void AppDelegate::applicationDidFinishLaunching() {
    DiagnosticLogger::shared().log(QStringLiteral("application.launched"));

    const QString iconPath = AppBundle::main().resourcePath(QStringLiteral("AppIcon"), QStringLiteral("png"));
    const QIcon icon(iconPath);
    if (!iconPath.isEmpty() && !icon.isNull()) {
        QGuiApplication::setWindowIcon(icon);
    }
}
