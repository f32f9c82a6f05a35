// Awaiting a child process: starts a prepared QProcess and suspends the calling task until
// the process has ended.
#pragma once

#include "Task.h"

class QProcess;

// Starts `process` (program, arguments and channels already set) and returns once it has
// finished. Cancelling the calling task sends the process SIGTERM, also when the
// cancellation comes while the process is still being started, and ends the wait with
// CancelledError once the process is gone. A task cancelled before the call starts no
// process. A refused start throws ProcessLaunchError. `process` must outlive the wait.
Task<void> runProcess(QProcess& process);
