// The transport messages of the adb protocol: a 24-byte little-endian header and a payload.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace devicesim {

constexpr uint32_t kCommandConnect = 0x4e584e43; // CNXN
constexpr uint32_t kCommandAuth = 0x48545541;    // AUTH
constexpr uint32_t kCommandOpen = 0x4e45504f;    // OPEN
constexpr uint32_t kCommandOkay = 0x59414b4f;    // OKAY
constexpr uint32_t kCommandClose = 0x45534c43;   // CLSE
constexpr uint32_t kCommandWrite = 0x45545257;   // WRTE

// Versions from this one on leave the payload checksum unchecked.
constexpr uint32_t kVersionSkippingChecksum = 0x01000001;
constexpr uint32_t kProtocolVersion = 0x01000001;
constexpr uint32_t kMaxPayload = 1024 * 1024;

constexpr uint32_t kAuthToken = 1;
constexpr uint32_t kAuthSignature = 2;
constexpr uint32_t kAuthPublicKey = 3;

constexpr size_t kMessageHeaderSize = 24;

struct AdbMessage {
    uint32_t command = 0;
    uint32_t arg0 = 0;
    uint32_t arg1 = 0;
    std::string payload;
};

struct MessageHeader {
    uint32_t command = 0;
    uint32_t arg0 = 0;
    uint32_t arg1 = 0;
    uint32_t dataLength = 0;
    uint32_t dataChecksum = 0;
    uint32_t magic = 0;
};

// The protocol's "crc32" is the plain sum of the payload bytes.
uint32_t payloadChecksum(std::string_view payload);

std::string encodeMessage(const AdbMessage& message);
MessageHeader decodeHeader(const char* bytes);
bool isKnownCommand(uint32_t command);

} // namespace devicesim
