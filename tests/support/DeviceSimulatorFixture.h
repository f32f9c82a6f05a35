// A simulated phone connected to a private adb server, for integration tests: picks free ports,
// starts `adb nodaemon server` and pavrel-device-sim over a temporary folder, connects them,
// and stops both again. ANDROID_ADB_SERVER_PORT is set in this process while the fixture runs,
// so that code under test that starts `adb` reaches the private server.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class DeviceSimulatorFixture {
public:
    struct Options {
        QString adbPath = QStringLiteral("adb");
        QString simulatorPath = defaultSimulatorPath();
        QString model = QStringLiteral("Simulated Phone");
        QString androidVersion = QStringLiteral("14");
        int batteryLevel = 85;
        bool charging = false;
        QStringList faults;                              // control commands applied at start
        QString awaitedState = QStringLiteral("device"); // "unauthorized" with "auth refuse"
    };

    struct AdbResult {
        QByteArray standardOutput;
        QByteArray standardError;
        int exitStatus = -1;
        bool finished = false; // false when the time-out ended it
    };

    static QString defaultSimulatorPath();

    DeviceSimulatorFixture();
    explicit DeviceSimulatorFixture(Options options);
    ~DeviceSimulatorFixture();
    DeviceSimulatorFixture(const DeviceSimulatorFixture&) = delete;
    DeviceSimulatorFixture& operator=(const DeviceSimulatorFixture&) = delete;

    // Throws std::runtime_error saying what failed; whatever was started is stopped again.
    void start();
    // Stops the adb server and the simulator; also done by the destructor.
    void stop();

    QString serial() const { return serial_; }
    // The host folder that the phone serves as /sdcard.
    QString root() const;
    QString adbPath() const { return options_.adbPath; }
    quint16 adbServerPort() const { return adbServerPort_; }

    // Sends one control command (README of the simulator); throws when it is refused.
    void control(const QString& command) const;

    // Runs adb with the private server; `input` goes to its standard input.
    AdbResult adb(const QStringList& arguments, const QByteArray& input = {},
                  int timeoutMilliseconds = 120000) const;
    AdbResult shell(const QString& command) const;
    // Polls `adb devices` until the phone is listed in `state`.
    bool waitForState(const QString& state, int timeoutMilliseconds = 20000) const;
    // The phone's state word in `adb devices`, empty when it is not listed.
    QString state() const;

private:
    void startAdbServer();
    void startSimulator();
    void connect();

    Options options_;
    std::unique_ptr<QTemporaryDir> workspace_;
    std::unique_ptr<QProcess> adbServer_;
    std::unique_ptr<QProcess> simulator_;
    quint16 adbServerPort_ = 0;
    QString serial_;
    QByteArray previousServerPort_;
    bool hadPreviousServerPort_ = false;
};
