#include "SimulatorOptions.h"

#include "ControlCommand.h"

#include <charconv>

namespace devicesim {

namespace {

std::optional<long> integer(const std::string& text, long minimum, long maximum) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        value < minimum || value > maximum) {
        return std::nullopt;
    }
    return value;
}

// Texts that end up in the connection banner ("…;ro.product.model=X;…") and in build.prop lines.
bool isPropertyValue(const std::string& text) {
    if (text.empty()) {
        return false;
    }
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7f || c == ';') {
            return false;
        }
    }
    return true;
}

} // namespace

std::string usageText() {
    return "usage: pavrel-device-sim --root DIR --port PORT [--model TEXT] [--android VERSION]\n"
           "                         [--battery LEVEL] [--charging] [--control PATH]\n"
           "                         [--fault COMMAND]...\n"
           "       pavrel-device-sim --control PATH --send COMMAND\n"
           "\n"
           "Serves DIR as the /sdcard of a phone that adb reaches with\n"
           "'adb connect 127.0.0.1:PORT' (PORT 0 takes a free port and prints it).\n"
           "--fault takes a control command (see README.md), applied at start.\n"
           "--send passes one control command to a running simulator and prints its answer.\n";
}

ParsedOptions parseOptions(const std::vector<std::string>& arguments) {
    SimulatorOptions options;
    bool portGiven = false;
    auto failure = [](std::string message) { return ParsedOptions{std::nullopt, message, false}; };
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--help" || name == "-h") {
            return {std::nullopt, {}, true};
        }
        if (name == "--charging") {
            options.charging = true;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            return failure(name.starts_with("--") ? name + " needs a value"
                                                  : "unexpected argument: " + name);
        }
        const std::string& value = arguments[++i];
        if (name == "--root") {
            options.root = value;
        } else if (name == "--port") {
            const auto port = integer(value, 0, 65535);
            if (!port) {
                return failure("--port takes a number from 0 to 65535, not " + value);
            }
            options.port = static_cast<uint16_t>(*port);
            portGiven = true;
        } else if (name == "--model" || name == "--android") {
            if (!isPropertyValue(value)) {
                return failure(name + " takes a non-empty text without control characters or ';'");
            }
            (name == "--model" ? options.model : options.androidVersion) = value;
        } else if (name == "--battery") {
            const auto level = integer(value, 0, 100);
            if (!level) {
                return failure("--battery takes a level from 0 to 100, not " + value);
            }
            options.batteryLevel = static_cast<int>(*level);
        } else if (name == "--control") {
            options.controlPath = value;
        } else if (name == "--fault") {
            const auto parsed = parseControlCommand(value);
            if (!parsed.command) {
                return failure("--fault " + value + ": " + parsed.error);
            }
            options.faults.push_back(value);
        } else if (name == "--send") {
            options.commandToSend = value;
        } else {
            return failure("unknown option: " + name);
        }
    }
    if (options.commandToSend) {
        if (options.controlPath.empty()) {
            return failure("--send needs --control PATH");
        }
        return {options, {}, false};
    }
    if (options.root.empty() || !portGiven) {
        return failure("--root and --port are required");
    }
    return {options, {}, false};
}

} // namespace devicesim
