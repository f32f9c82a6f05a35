// Waiting for a task from code that is not a task (tests, tools): runs the main thread's
// event loop until the task has ended. Needs a QCoreApplication.
#pragma once

#include "Spawn.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <functional>

template <typename T> T blockingWait(const TaskHandle<T>& handle) {
    if (!handle.isFinished()) {
        QEventLoop loop;
        handle.whenFinished([&loop] { loop.quit(); });
        loop.exec();
    }
    return handle.finishedResult();
}

template <typename T> T blockingWait(Task<T> task) {
    return blockingWait(spawn(std::move(task)));
}

// Runs the event loop until `condition` holds.
inline void processEventsUntil(const std::function<bool()>& condition) {
    while (!condition()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}
