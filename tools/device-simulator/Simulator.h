// The whole phone: storage, shell sandbox, system folder, faults, the TCP endpoint and the
// control socket, run from one main loop until SIGTERM or SIGINT.
#pragma once

#include "SimulatorOptions.h"

#include <string>
#include <string_view>

namespace devicesim {

// Returns the process exit status.
int runSimulator(const SimulatorOptions& options);

} // namespace devicesim
