// A child process with its standard streams on pipes or on a pseudo-terminal.
#pragma once

#include "FileDescriptorIO.h"

#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace devicesim {

enum class ChildStreams {
    separatePipes,  // stdin, stdout and stderr each on their own pipe
    mergedOutput,   // stdout and stderr share one pipe
    pseudoTerminal, // all three on a new terminal that becomes the child's controlling one
};

struct ChildProcess {
    pid_t pid = -1;
    UniqueFd input;    // the child's stdin
    UniqueFd output;   // its stdout (and stderr when merged or on a terminal)
    UniqueFd errors;   // its stderr on a pipe of its own
    UniqueFd terminal; // the terminal's master side, for window size changes
};

// Starts `arguments` (the first is an absolute path) with exactly `environment`.
// On failure returns a process with pid -1 and sets `error`.
ChildProcess startChildProcess(const std::vector<std::string>& arguments,
                               const std::vector<std::string>& environment, ChildStreams streams,
                               std::string& error);

// Waits for the child and gives its exit status as a shell reports it (128 + signal when
// killed). Once `abandoned` turns true the child gets `grace` to end, then SIGKILL.
int waitForChild(pid_t pid, const std::function<bool()>& abandoned,
                 std::chrono::milliseconds grace);

} // namespace devicesim
