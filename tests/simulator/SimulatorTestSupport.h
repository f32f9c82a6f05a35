// Helpers of the simulator's integration tests: host files, device-shell quoting, adb runs in the
// background, and a raw sync-protocol probe through the adb server.
#pragma once

#include "DeviceSimulatorFixture.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTcpSocket>
#include <memory>

QByteArray readHostFile(const QString& path);
void writeHostFile(const QString& path, const QByteArray& content);
QByteArray randomBytes(qsizetype size);

// Single quotes around the path, each inner quote written as '\'' — as the product quotes.
QString shellQuoted(const QString& path);

// Starts adb with the fixture's private server and leaves it running.
std::unique_ptr<QProcess> startAdb(const DeviceSimulatorFixture& phone,
                                   const QStringList& arguments);

// Talks the sync protocol to the phone through the adb server, for fields adb does not print.
class SyncProbe {
public:
    SyncProbe(const DeviceSimulatorFixture& phone);
    bool connected() const { return connected_; }
    // Sends a request ("STA2", path) and reads `replySize` bytes of answer.
    QByteArray request(const char* id, const QByteArray& path, qsizetype replySize);
    QByteArray read(qsizetype size);

private:
    bool sendServiceRequest(const QByteArray& service);

    QTcpSocket socket_;
    bool connected_ = false;
};

quint32 littleEndian32(const QByteArray& bytes, qsizetype offset);
quint64 littleEndian64(const QByteArray& bytes, qsizetype offset);

#include <gtest/gtest.h>

// One phone shared by the tests of a suite: each test starts with the phone connected.
class SharedPhoneTest : public testing::Test {
protected:
    static void startPhone(DeviceSimulatorFixture::Options options = {});
    static void TearDownTestSuite() { phone.reset(); }
    void SetUp() override { ASSERT_TRUE(phone) << startError; }

    static inline std::unique_ptr<DeviceSimulatorFixture> phone;
    static inline std::string startError;
};
