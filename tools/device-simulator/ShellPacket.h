// Packets of the shell v2 protocol: one id byte, a 32-bit little-endian length, the data.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace devicesim {

enum class ShellPacketId : uint8_t {
    standardInput = 0,
    standardOutput = 1,
    standardError = 2,
    exitStatus = 3,
    closeInput = 4,
    windowSize = 5,
};

std::string encodeShellPacket(ShellPacketId id, std::string_view data);

struct ShellPacket {
    ShellPacketId id;
    std::string data;
};

// Collects the host's packets from stream data that may split or join them anywhere.
class ShellPacketReader {
public:
    void append(std::string_view bytes) { buffer_ += bytes; }
    std::optional<ShellPacket> next();

private:
    std::string buffer_;
};

} // namespace devicesim
