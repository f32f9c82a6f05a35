// The chores that run once the application has finished launching.
#pragma once

#include <QObject>

class AppDelegate : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Queues the launch chores to run as soon as the event loop turns.
    void scheduleLaunchChores();

private:
    void applicationDidFinishLaunching();
};
