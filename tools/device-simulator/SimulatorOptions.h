// The simulator's command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace devicesim {

struct SimulatorOptions {
    std::string root;
    uint16_t port = 0; // 0: any free port, printed at start
    std::string model = "Simulated Phone";
    std::string androidVersion = "14";
    int batteryLevel = 85;
    bool charging = false;
    std::string controlPath;
    std::vector<std::string> faults;          // control commands applied at start
    std::optional<std::string> commandToSend; // --send: talk to a running simulator instead
};

struct ParsedOptions {
    std::optional<SimulatorOptions> options; // empty on error or for --help
    std::string error;
    bool helpRequested = false;
};

ParsedOptions parseOptions(const std::vector<std::string>& arguments);
std::string usageText();

} // namespace devicesim
