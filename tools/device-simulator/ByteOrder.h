// Little-endian integers as the adb transport, the shell packets and the sync service carry them.
#pragma once

#include <cstdint>
#include <string>

namespace devicesim {

inline void appendLittleEndian32(std::string& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xff));
    }
}

inline void appendLittleEndian64(std::string& out, uint64_t value) {
    for (int shift = 0; shift < 64; shift += 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xff));
    }
}

inline uint32_t readLittleEndian32(const char* bytes) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    }
    return value;
}

inline uint64_t readLittleEndian64(const char* bytes) {
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    }
    return value;
}

} // namespace devicesim
