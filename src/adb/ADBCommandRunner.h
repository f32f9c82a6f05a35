// Runs the bundled adb as a child process: captures both output channels, streams the output
// as text, ends the process when the calling task is cancelled, and logs runs that failed,
// complained or were slow.
#pragma once

#include "ADBCommandRunning.h"
#include "ADBExecutableResolving.h"
#include "Clock.h"

#include <memory>

// Main-thread object; any number of runs may be in flight at once.
class ADBCommandRunner : public ADBCommandRunning {
public:
    using Result = ADBCommandResult;

    explicit ADBCommandRunner(std::shared_ptr<const ADBExecutableResolving> executableResolver,
                              Clock& clock = steadyClock());

    // Fails with DeviceRepositoryError::adbNotFound when there is no executable, with
    // CancelledError when the calling task is cancelled (after the process has ended), and
    // with ProcessLaunchError when the system refuses to start it.
    Task<Result> run(QStringList arguments,
                     std::function<void(const QString&)> onOutput = {}) override;

private:
    std::shared_ptr<const ADBExecutableResolving> executableResolver_;
    Clock& clock_;
};
