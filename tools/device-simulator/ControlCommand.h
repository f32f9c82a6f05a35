// The commands that switch the phone's faults and state while it runs (and, given with --fault,
// at start). One command per line; README.md lists them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace devicesim {

struct ControlCommand {
    enum class Kind {
        authorisation, // `enabled`: refuse
        dropNow,
        dropAfter, // `amount` bytes, or nothing to cancel
        silence,   // `enabled`: silent
        rate,      // `amount` bytes per second, or nothing for no limit
        batteryLevel,
        charging, // `enabled`
        storage,  // `amount` free and `total` bytes, or nothing for the host's figures
    };
    Kind kind = Kind::dropNow;
    bool enabled = false;
    std::optional<uint64_t> amount;
    uint64_t total = 0;
};

struct ParsedControlCommand {
    std::optional<ControlCommand> command;
    std::string error; // set when `command` is empty
};

ParsedControlCommand parseControlCommand(std::string_view line);

} // namespace devicesim
