// The transport as a host sees it, spoken directly to the simulator without adb: the handshake
// banner, the payload limit the host announces, one outstanding write per stream, refused
// authorisation, and links that break the rules being closed.
#include "AdbMessage.h"
#include "ByteOrder.h"
#include "DeviceSimulatorFixture.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace devicesim;

namespace {

constexpr uint32_t kHostMaximumPayload = 4096;

// The simulator alone, on a free port, over an empty storage folder.
class SimulatorProcess {
public:
    explicit SimulatorProcess(const QStringList& extraArguments = {}) {
        process_.start(DeviceSimulatorFixture::defaultSimulatorPath(),
                       QStringList{QStringLiteral("--root"), folder_.path(),
                                   QStringLiteral("--port"), QStringLiteral("0")} +
                           extraArguments);
        process_.waitForReadyRead(10000);
        static const QRegularExpression listening(QStringLiteral("127\\.0\\.0\\.1:(\\d+)"));
        port_ = static_cast<uint16_t>(
            listening.match(QString::fromUtf8(process_.readAllStandardOutput()))
                .captured(1)
                .toUInt());
    }
    ~SimulatorProcess() {
        process_.terminate();
        process_.waitForFinished(10000);
    }
    uint16_t port() const { return port_; }

private:
    QTemporaryDir folder_;
    QProcess process_;
    uint16_t port_ = 0;
};

// A raw transport connection playing the adb server's part.
class HostLink {
public:
    explicit HostLink(uint16_t port) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~HostLink() { ::close(fd_); }
    bool connected() const { return connected_; }

    void send(uint32_t command, uint32_t arg0, uint32_t arg1, const std::string& payload = {}) {
        sendRaw(encodeMessage({command, arg0, arg1, payload}));
    }
    void sendRaw(const std::string& bytes) {
        ASSERT_EQ(::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(bytes.size()));
    }
    void connect() {
        send(kCommandConnect, kProtocolVersion, kHostMaximumPayload, "host::features=shell_v2");
    }

    // The next message within the time-out; nothing when none came or the link closed.
    std::optional<AdbMessage> receive(int timeoutMilliseconds = 5000) {
        std::string header;
        if (!readExactly(header, kMessageHeaderSize, timeoutMilliseconds)) {
            return std::nullopt;
        }
        const MessageHeader decoded = decodeHeader(header.data());
        EXPECT_EQ(decoded.magic, decoded.command ^ 0xffffffffU);
        AdbMessage message{decoded.command, decoded.arg0, decoded.arg1, {}};
        if (!readExactly(message.payload, decoded.dataLength, timeoutMilliseconds)) {
            return std::nullopt;
        }
        EXPECT_EQ(decoded.dataChecksum, payloadChecksum(message.payload));
        return message;
    }

    // True when the phone closed the link.
    bool closedByPeer(int timeoutMilliseconds = 5000) {
        pollfd descriptor{fd_, POLLIN, 0};
        if (::poll(&descriptor, 1, timeoutMilliseconds) <= 0) {
            return false;
        }
        char byte;
        return ::recv(fd_, &byte, 1, MSG_PEEK) == 0;
    }

private:
    bool readExactly(std::string& out, size_t size, int timeoutMilliseconds) {
        out.clear();
        while (out.size() < size) {
            pollfd descriptor{fd_, POLLIN, 0};
            if (::poll(&descriptor, 1, timeoutMilliseconds) <= 0) {
                return false;
            }
            char buffer[65536];
            const ssize_t n = ::recv(fd_, buffer, std::min(sizeof buffer, size - out.size()), 0);
            if (n <= 0) {
                return false;
            }
            out.append(buffer, static_cast<size_t>(n));
        }
        return true;
    }

    int fd_ = -1;
    bool connected_ = false;
};

TEST(SimulatorTransportTest, HandshakeAnswersWithTheBannerAndOurLimit) {
    SimulatorProcess simulator({QStringLiteral("--model"), QStringLiteral("Pixel 7")});
    HostLink host(simulator.port());
    ASSERT_TRUE(host.connected());
    // Anything before the host's CNXN is ignored, not answered.
    host.send(kCommandOpen, 1, 0, std::string("shell:true") + '\0');
    host.connect();
    const auto answer = host.receive();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->command, kCommandConnect);
    EXPECT_EQ(answer->arg0, kProtocolVersion);
    EXPECT_EQ(answer->arg1, kMaxPayload);
    EXPECT_EQ(answer->payload,
              "device::ro.product.name=pixel_7;ro.product.model=Pixel 7;ro.product.device=pixel_7;"
              "features=shell_v2,stat_v2,ls_v2,fixed_push_mkdir,fixed_push_symlink_timestamp");
}

TEST(SimulatorTransportTest, WritesRespectTheHostLimitAndWaitForEachOkay) {
    SimulatorProcess simulator;
    HostLink host(simulator.port());
    host.connect();
    ASSERT_TRUE(host.receive());
    constexpr size_t total = 50000;
    host.send(kCommandOpen, 7, 0, "exec:head -c " + std::to_string(total) + " /dev/zero" + '\0');
    const auto opened = host.receive();
    ASSERT_TRUE(opened);
    ASSERT_EQ(opened->command, kCommandOkay);
    EXPECT_EQ(opened->arg1, 7u);
    const uint32_t deviceId = opened->arg0;

    size_t received = 0;
    int writes = 0;
    for (;;) {
        const auto message = host.receive();
        ASSERT_TRUE(message);
        if (message->command == kCommandClose) {
            EXPECT_EQ(message->arg1, 7u);
            break;
        }
        ASSERT_EQ(message->command, kCommandWrite);
        EXPECT_LE(message->payload.size(), kHostMaximumPayload);
        received += message->payload.size();
        // Held back: while this write is unacknowledged the phone must send nothing more.
        if (++writes <= 3) {
            EXPECT_FALSE(host.receive(300)) << "second write before the host's OKAY";
        }
        host.send(kCommandOkay, 7, deviceId);
    }
    EXPECT_EQ(received, total);
    EXPECT_GE(writes, static_cast<int>(total / kHostMaximumPayload));
}

TEST(SimulatorTransportTest, HostWritesAreAcknowledgedOncePerWrite) {
    SimulatorProcess simulator;
    HostLink host(simulator.port());
    host.connect();
    ASSERT_TRUE(host.receive());
    host.send(kCommandOpen, 3, 0, std::string("exec:cat > /dev/null") + '\0');
    const auto opened = host.receive();
    ASSERT_TRUE(opened && opened->command == kCommandOkay);
    for (int i = 0; i < 3; ++i) {
        host.send(kCommandWrite, 3, opened->arg0, std::string(1000, 'x'));
        const auto acknowledged = host.receive();
        ASSERT_TRUE(acknowledged);
        EXPECT_EQ(acknowledged->command, kCommandOkay);
        EXPECT_EQ(acknowledged->arg0, opened->arg0);
        EXPECT_EQ(acknowledged->arg1, 3u);
    }
    host.send(kCommandClose, 3, opened->arg0);
}

TEST(SimulatorTransportTest, UnknownServiceIsRefusedWithClose) {
    SimulatorProcess simulator;
    HostLink host(simulator.port());
    host.connect();
    ASSERT_TRUE(host.receive());
    host.send(kCommandOpen, 9, 0, std::string("framebuffer:") + '\0');
    const auto refused = host.receive();
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->command, kCommandClose);
    EXPECT_EQ(refused->arg0, 0u);
    EXPECT_EQ(refused->arg1, 9u);
}

TEST(SimulatorTransportTest, RefusingPhoneRejectsEverySignatureAndNeverConfirmsAKey) {
    SimulatorProcess simulator({QStringLiteral("--fault"), QStringLiteral("auth refuse")});
    HostLink host(simulator.port());
    host.connect();
    const auto first = host.receive();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->command, kCommandAuth);
    EXPECT_EQ(first->arg0, kAuthToken);
    EXPECT_EQ(first->payload.size(), 20u);

    host.send(kCommandAuth, kAuthSignature, 0, std::string(256, 's'));
    const auto second = host.receive();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->command, kCommandAuth);
    EXPECT_EQ(second->arg0, kAuthToken);
    EXPECT_NE(second->payload, first->payload) << "each token is fresh";

    host.send(kCommandAuth, kAuthPublicKey, 0, "QAAAAkey host@machine");
    EXPECT_FALSE(host.receive(500)) << "a refusing phone never lets the key in";
    // Nor does a stream open before authorisation.
    host.send(kCommandOpen, 1, 0, std::string("shell:true") + '\0');
    EXPECT_FALSE(host.receive(300));
}

TEST(SimulatorTransportTest, BrokenMessagesEndTheLink) {
    SimulatorProcess simulator;
    struct Breakage {
        const char* reason;
        std::string bytes;
    };
    std::string badMagic = encodeMessage({kCommandOkay, 1, 1, {}});
    badMagic[20] ^= 0x01;
    std::string unknownCommand = encodeMessage({0x12345678, 1, 1, {}});
    std::string oversized = encodeMessage({kCommandWrite, 1, 1, {}});
    const uint32_t tooLong = kMaxPayload + 1;
    oversized.replace(12, 4, std::string(reinterpret_cast<const char*>(&tooLong), 4));
    for (const auto& breakage :
         {Breakage{"magic does not match", badMagic}, Breakage{"unknown command", unknownCommand},
          Breakage{"payload above the limit", oversized}}) {
        HostLink host(simulator.port());
        host.connect();
        ASSERT_TRUE(host.receive());
        host.sendRaw(breakage.bytes);
        EXPECT_TRUE(host.closedByPeer()) << breakage.reason;
    }
}

} // namespace
