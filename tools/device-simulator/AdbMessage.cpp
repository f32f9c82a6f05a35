#include "AdbMessage.h"

#include "ByteOrder.h"

namespace devicesim {

uint32_t payloadChecksum(std::string_view payload) {
    uint32_t sum = 0;
    for (char c : payload) {
        sum += static_cast<unsigned char>(c);
    }
    return sum;
}

std::string encodeMessage(const AdbMessage& message) {
    std::string bytes;
    bytes.reserve(kMessageHeaderSize + message.payload.size());
    appendLittleEndian32(bytes, message.command);
    appendLittleEndian32(bytes, message.arg0);
    appendLittleEndian32(bytes, message.arg1);
    appendLittleEndian32(bytes, static_cast<uint32_t>(message.payload.size()));
    appendLittleEndian32(bytes, payloadChecksum(message.payload));
    appendLittleEndian32(bytes, message.command ^ 0xffffffffU);
    bytes += message.payload;
    return bytes;
}

MessageHeader decodeHeader(const char* bytes) {
    return MessageHeader{readLittleEndian32(bytes),      readLittleEndian32(bytes + 4),
                         readLittleEndian32(bytes + 8),  readLittleEndian32(bytes + 12),
                         readLittleEndian32(bytes + 16), readLittleEndian32(bytes + 20)};
}

bool isKnownCommand(uint32_t command) {
    switch (command) {
    case kCommandConnect:
    case kCommandAuth:
    case kCommandOpen:
    case kCommandOkay:
    case kCommandClose:
    case kCommandWrite:
        return true;
    default:
        return false;
    }
}

} // namespace devicesim
