#include "ShellPacket.h"

#include "ByteOrder.h"

namespace devicesim {

namespace {
constexpr size_t kHeaderSize = 5;
}

std::string encodeShellPacket(ShellPacketId id, std::string_view data) {
    std::string packet;
    packet.reserve(kHeaderSize + data.size());
    packet.push_back(static_cast<char>(id));
    appendLittleEndian32(packet, static_cast<uint32_t>(data.size()));
    packet += data;
    return packet;
}

std::optional<ShellPacket> ShellPacketReader::next() {
    if (buffer_.size() < kHeaderSize) {
        return std::nullopt;
    }
    const size_t length = readLittleEndian32(buffer_.data() + 1);
    if (buffer_.size() < kHeaderSize + length) {
        return std::nullopt;
    }
    ShellPacket packet{static_cast<ShellPacketId>(buffer_[0]), buffer_.substr(kHeaderSize, length)};
    buffer_.erase(0, kHeaderSize + length);
    return packet;
}

} // namespace devicesim
