// The window's top-level state: which screen the route shows, and the start-up check that
// decides between the connection screen and the integrity-failure screen.
#pragma once

#include "ADBIntegrityChecker.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class AppViewModel : public QObject {
    Q_OBJECT
    // The route's case name for the views ("checkingIntegrity", "connection", …).
    Q_PROPERTY(QString route READ routeName NOTIFY routeChanged)
    Q_PROPERTY(QString failureCode READ failureCode NOTIFY routeChanged)

public:
    enum class Route { integrityFailure, checkingIntegrity, connection, files };

    explicit AppViewModel(std::shared_ptr<const ADBIntegrityChecking> integrityChecker, QObject* parent = nullptr);

    Route route() const { return route_; }
    QString routeName() const;
    // The failure of the integrity-failure route; empty on every other route.
    std::optional<ADBIntegrityFailure> failure() const { return failure_; }
    QString failureCode() const;

    // Called when the window's content first appears; effective once.
    Q_INVOKABLE void start();

signals:
    void routeChanged();

private:
    void finishIntegrityCheck(const ADBIntegrityResult& result);
    void setRoute(Route route, std::optional<ADBIntegrityFailure> failure = std::nullopt);

    std::shared_ptr<const ADBIntegrityChecking> integrityChecker_;
    Route route_ = Route::checkingIntegrity;
    std::optional<ADBIntegrityFailure> failure_;
    bool hasStarted_ = false;
};
