#include "DeviceConnection.h"

#include "DeviceContext.h"
#include "DeviceIdentity.h"
#include "DeviceServices.h"
#include "DeviceStream.h"
#include "FaultState.h"

#include <algorithm>
#include <random>
#include <sys/socket.h>

namespace devicesim {

namespace {
// The host sends its CNXN and AUTH before it knows our limit; nothing legitimate is larger.
constexpr uint32_t kMinimumPeerPayload = 4096;
constexpr size_t kAuthTokenSize = 20;
} // namespace

DeviceConnection::DeviceConnection(UniqueFd socket, DeviceContext& context)
    : socket_(std::move(socket)), context_(context) {}

void DeviceConnection::serve() {
    AdbMessage message;
    while (readMessage(message)) {
        if (!context_.faults.waitUntilAudible([this] { return ended_.load(); })) {
            break;
        }
        handle(message);
    }
    drop();
    closeAllStreams();
}

void DeviceConnection::drop() {
    ended_ = true;
    ::shutdown(socket_.get(), SHUT_RDWR);
}

bool DeviceConnection::send(const AdbMessage& message) {
    if (!context_.faults.waitUntilAudible([this] { return ended_.load(); })) {
        return false;
    }
    const std::string bytes = encodeMessage(message);
    std::lock_guard lock(writeMutex_);
    if (ended_) {
        return false;
    }
    if (!writeAll(socket_.get(), bytes.data(), bytes.size())) {
        drop();
        return false;
    }
    return true;
}

void DeviceConnection::forgetStream(uint32_t localId) {
    std::lock_guard lock(streamsMutex_);
    streams_.erase(localId);
}

bool DeviceConnection::readMessage(AdbMessage& message) {
    char header[kMessageHeaderSize];
    if (!readExactly(socket_.get(), header, sizeof header)) {
        return false;
    }
    const MessageHeader decoded = decodeHeader(header);
    // A corrupt header means both sides have lost the message boundaries: end the link.
    if (decoded.magic != (decoded.command ^ 0xffffffffU) || !isKnownCommand(decoded.command) ||
        decoded.dataLength > kMaxPayload) {
        return false;
    }
    message.command = decoded.command;
    message.arg0 = decoded.arg0;
    message.arg1 = decoded.arg1;
    message.payload.resize(decoded.dataLength);
    if (!readExactly(socket_.get(), message.payload.data(), message.payload.size())) {
        return false;
    }
    const bool checksummed = online_ && peerVersion_ < kVersionSkippingChecksum;
    return !checksummed || payloadChecksum(message.payload) == decoded.dataChecksum;
}

void DeviceConnection::handle(AdbMessage& message) {
    if (message.command == kCommandConnect) {
        handleConnect(message);
        return;
    }
    if (message.command == kCommandAuth) {
        handleAuth(message);
        return;
    }
    if (!online_) {
        return; // nothing but the handshake counts before it is complete
    }
    switch (message.command) {
    case kCommandOpen:
        handleOpen(message);
        break;
    case kCommandOkay:
        if (auto target = stream(message.arg1)) {
            target->acknowledge();
        }
        break;
    case kCommandWrite:
        if (auto target = stream(message.arg1)) {
            target->deliver(std::move(message.payload));
        }
        break;
    case kCommandClose:
        if (auto target = stream(message.arg1)) {
            target->closeByRemote();
            forgetStream(message.arg1);
        }
        break;
    default:
        break;
    }
}

void DeviceConnection::handleConnect(const AdbMessage& message) {
    if (message.arg1 < kMinimumPeerPayload) {
        drop();
        return;
    }
    peerVersion_ = message.arg0;
    maxPayload_ = std::min<size_t>(message.arg1, kMaxPayload);
    if (context_.faults.authorisationRefused()) {
        sendAuthToken();
        return;
    }
    online_ = true;
    send({kCommandConnect, kProtocolVersion, kMaxPayload, context_.identity.connectionBanner()});
}

void DeviceConnection::handleAuth(const AdbMessage& message) {
    // A refusing phone rejects every signature with a fresh token and never confirms a
    // public key, so the host keeps it listed as unauthorized.
    if (!online_ && message.arg0 == kAuthSignature) {
        sendAuthToken();
    }
}

void DeviceConnection::sendAuthToken() {
    static thread_local std::mt19937 random{std::random_device{}()};
    std::string token(kAuthTokenSize, '\0');
    std::generate(token.begin(), token.end(), [] { return static_cast<char>(random() & 0xff); });
    send({kCommandAuth, kAuthToken, 0, token});
}

void DeviceConnection::handleOpen(const AdbMessage& message) {
    const uint32_t remoteId = message.arg0;
    if (remoteId == 0) {
        return;
    }
    std::string destination = message.payload;
    while (!destination.empty() && destination.back() == '\0') {
        destination.pop_back();
    }
    const auto request = parseServiceRequest(destination);
    if (!request) {
        send({kCommandClose, 0, remoteId, {}});
        return;
    }
    std::shared_ptr<DeviceStream> opened;
    {
        std::lock_guard lock(streamsMutex_);
        const uint32_t localId = nextLocalId_++;
        opened = std::make_shared<DeviceStream>(shared_from_this(), localId, remoteId);
        streams_[localId] = opened;
    }
    send({kCommandOkay, opened->localId(), remoteId, {}});
    startService(*request, opened);
}

std::shared_ptr<DeviceStream> DeviceConnection::stream(uint32_t localId) {
    std::lock_guard lock(streamsMutex_);
    const auto found = streams_.find(localId);
    return found == streams_.end() ? nullptr : found->second;
}

void DeviceConnection::closeAllStreams() {
    std::map<uint32_t, std::shared_ptr<DeviceStream>> streams;
    {
        std::lock_guard lock(streamsMutex_);
        streams.swap(streams_);
    }
    for (auto& [id, stream] : streams) {
        stream->closeByRemote();
    }
}

} // namespace devicesim
