// The adb repository against the simulated phone with the real adb: one phone per suite behind
// a private adb server, the real command runner over a bundle whose adb is the system's, and
// helpers to look at both sides' files.
#pragma once

#include "ADBCommandRunner.h"
#include "ADBDeviceRepository.h"
#include "DeviceSimulatorFixture.h"
#include "FakeBundle.h"
#include "LocalTestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// Passes every run on to the real runner and remembers its arguments.
class RecordingRunner : public ADBCommandRunning {
public:
    explicit RecordingRunner(ADBCommandRunning& inner) : m_inner(inner) {}

    Task<ADBCommandResult> run(QStringList arguments,
                               std::function<void(const QString&)> onOutput = {}) override;

    // How many runs used this adb command ("push", "pull") since the last clear.
    qsizetype count(const QString& command) const;
    QList<QStringList> calls;

private:
    ADBCommandRunning& m_inner;
};

class PhoneIntegrationTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

    // The host folder behind a device path.
    static QString hostPath(const QString& devicePath);
    // A device folder of this test's own, created empty.
    QString deviceFolder() const { return m_deviceFolder; }
    // A local folder of this test's own.
    QString localFolder() const { return m_local.path(); }

    // Lists the phone again after a fault cut it off.
    static void reconnect();

    static inline std::unique_ptr<DeviceSimulatorFixture> phone;
    static inline std::string startError;
    static inline std::unique_ptr<FakeBundle> bundle;
    static inline std::unique_ptr<ADBCommandRunner> adb;
    static inline std::unique_ptr<RecordingRunner> runner;
    static inline std::unique_ptr<ADBDeviceRepository> repository;
    static inline AndroidDevice device;

private:
    QString m_deviceFolder;
    QTemporaryDir m_local;
};

// Bytes that are neither text nor compressible.
QByteArray noiseBytes(qsizetype size);
// Every item below `folder` whose name carries a transfer's temporary infix.
QStringList transferLeftovers(const QString& folder);
