#include "ControlCommand.h"

#include <charconv>
#include <limits>
#include <vector>

namespace devicesim {

namespace {

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> pieces;
    size_t start = 0;
    while (start < line.size()) {
        while (start < line.size() && (line[start] == ' ' || line[start] == '\t' ||
                                       line[start] == '\r' || line[start] == '\n')) {
            ++start;
        }
        size_t end = start;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r' &&
               line[end] != '\n') {
            ++end;
        }
        if (end > start) {
            pieces.push_back(line.substr(start, end - start));
        }
        start = end;
    }
    return pieces;
}

// Decimal digits only; at most the largest signed 64-bit value, which the phone's shell
// arithmetic can still hold.
std::optional<uint64_t> number(std::string_view text) {
    uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        value > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
        return std::nullopt;
    }
    return value;
}

ParsedControlCommand failure(std::string message) {
    return {std::nullopt, std::move(message)};
}

ParsedControlCommand success(ControlCommand command) {
    return {command, {}};
}

// "on"/"off" and the like: the word that means true, the word that means false.
std::optional<bool> choice(const std::vector<std::string_view>& pieces, std::string_view yes,
                           std::string_view no) {
    if (pieces.size() != 2) {
        return std::nullopt;
    }
    if (pieces[1] == yes) {
        return true;
    }
    if (pieces[1] == no) {
        return false;
    }
    return std::nullopt;
}

ParsedControlCommand toggle(const std::vector<std::string_view>& pieces, ControlCommand::Kind kind,
                            std::string_view yes, std::string_view no) {
    const auto value = choice(pieces, yes, no);
    if (!value) {
        return failure("usage: " + std::string(pieces[0]) + " " + std::string(yes) + "|" +
                       std::string(no));
    }
    ControlCommand command;
    command.kind = kind;
    command.enabled = *value;
    return success(command);
}

ParsedControlCommand drop(const std::vector<std::string_view>& pieces) {
    ControlCommand command;
    if (pieces.size() == 1) {
        command.kind = ControlCommand::Kind::dropNow;
        return success(command);
    }
    command.kind = ControlCommand::Kind::dropAfter;
    if (pieces.size() == 2 && pieces[1] == "cancel") {
        return success(command);
    }
    if (pieces.size() == 3 && pieces[1] == "after") {
        command.amount = number(pieces[2]);
        if (command.amount) {
            return success(command);
        }
    }
    return failure("usage: drop | drop after BYTES | drop cancel");
}

ParsedControlCommand rate(const std::vector<std::string_view>& pieces) {
    ControlCommand command;
    command.kind = ControlCommand::Kind::rate;
    if (pieces.size() == 2 && pieces[1] == "off") {
        return success(command);
    }
    if (pieces.size() == 2) {
        command.amount = number(pieces[1]);
        if (command.amount && *command.amount > 0) {
            return success(command);
        }
    }
    return failure("usage: rate BYTES_PER_SECOND | rate off");
}

ParsedControlCommand battery(const std::vector<std::string_view>& pieces) {
    ControlCommand command;
    command.kind = ControlCommand::Kind::batteryLevel;
    if (pieces.size() == 2) {
        command.amount = number(pieces[1]);
        if (command.amount && *command.amount <= 100) {
            return success(command);
        }
    }
    return failure("usage: battery LEVEL (0 to 100)");
}

ParsedControlCommand storage(const std::vector<std::string_view>& pieces) {
    ControlCommand command;
    command.kind = ControlCommand::Kind::storage;
    if (pieces.size() == 2 && pieces[1] == "off") {
        return success(command);
    }
    if (pieces.size() == 3) {
        command.amount = number(pieces[1]);
        const auto total = number(pieces[2]);
        if (command.amount && total && *command.amount <= *total) {
            command.total = *total;
            return success(command);
        }
    }
    return failure("usage: df FREE_BYTES TOTAL_BYTES (free no more than total) | df off");
}

} // namespace

ParsedControlCommand parseControlCommand(std::string_view line) {
    const auto pieces = words(line);
    if (pieces.empty()) {
        return failure("empty command");
    }
    const std::string_view verb = pieces[0];
    if (verb == "auth") {
        return toggle(pieces, ControlCommand::Kind::authorisation, "refuse", "accept");
    }
    if (verb == "drop") {
        return drop(pieces);
    }
    if (verb == "silent") {
        return toggle(pieces, ControlCommand::Kind::silence, "on", "off");
    }
    if (verb == "rate") {
        return rate(pieces);
    }
    if (verb == "battery") {
        return battery(pieces);
    }
    if (verb == "charging") {
        return toggle(pieces, ControlCommand::Kind::charging, "on", "off");
    }
    if (verb == "df") {
        return storage(pieces);
    }
    return failure("unknown command: " + std::string(verb));
}

} // namespace devicesim
