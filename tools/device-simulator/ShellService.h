// The shell and exec services: a command in the phone's sandboxed shell, its input from the
// stream and its output back, with stdout, stderr and the exit status in packets for shell v2.
#pragma once

#include "DeviceServices.h"

#include <memory>

namespace devicesim {

class DeviceStream;

void runShellService(const ServiceRequest& request, const std::shared_ptr<DeviceStream>& stream);

} // namespace devicesim
