// Running adb with an argument list; the device repository depends on this so that its tests
// can script the answers.
#pragma once

#include "ADBCommandResult.h"
#include "Task.h"

#include <QString>
#include <QStringList>

#include <functional>

class ADBCommandRunning {
public:
    virtual ~ADBCommandRunning() = default;

    // Runs adb with `arguments` (no shell in between) and returns once it has ended; a non-zero
    // status is a result, not a failure. `onOutput` receives the output as text while it
    // arrives, on the main thread. Cancelling the calling task ends the process.
    virtual Task<ADBCommandResult> run(QStringList arguments,
                                       std::function<void(const QString&)> onOutput = {}) = 0;
};
