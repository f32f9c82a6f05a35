#include "AppViewModel.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

AppViewModel::AppViewModel(std::shared_ptr<const ADBIntegrityChecking> integrityChecker, QObject* parent)
    : QObject(parent), integrityChecker_(std::move(integrityChecker)) {}

QString AppViewModel::routeName() const {
    switch (route_) {
    case Route::integrityFailure:
        return QStringLiteral("integrityFailure");
    case Route::checkingIntegrity:
        return QStringLiteral("checkingIntegrity");
    case Route::connection:
        return QStringLiteral("connection");
    case Route::files:
        return QStringLiteral("files");
    }
    Q_UNREACHABLE();
}

QString AppViewModel::failureCode() const {
    return failure_ ? diagnosticCode(*failure_) : QString();
}

void AppViewModel::start() {
    if (hasStarted_) {
        return;
    }
    hasStarted_ = true;
    if (route_ != Route::checkingIntegrity) {
        return;
    }
    // Hashing adb takes a noticeable moment: keep it off the interface thread. The watcher
    // is a child of the view model, so a view model that is gone never hears the result.
    auto* watcher = new QFutureWatcher<ADBIntegrityResult>(this);
    connect(watcher, &QFutureWatcher<ADBIntegrityResult>::finished, this, [this, watcher] {
        finishIntegrityCheck(watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run([checker = integrityChecker_] { return checker->verify(); }));
}

void AppViewModel::finishIntegrityCheck(const ADBIntegrityResult& result) {
    if (const auto* failure = std::get_if<ADBIntegrityFailure>(&result)) {
        setRoute(Route::integrityFailure, *failure);
        return;
    }
    setRoute(Route::connection);
}

void AppViewModel::setRoute(Route route, std::optional<ADBIntegrityFailure> failure) {
    if (route_ == route && failure_ == failure) {
        return;
    }
    route_ = route;
    failure_ = failure;
    emit routeChanged();
}
