// The phone's own commands (getprop, dumpsys, content, am, df), built in from device-commands/.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace devicesim {

// Name and shell script of each command.
const std::vector<std::pair<std::string, std::string>>& deviceCommandScripts();

} // namespace devicesim
