#include "DeviceSimulatorFixture.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <csignal>
#include <stdexcept>
#include <sys/prctl.h>

namespace {

constexpr int kStartTimeout = 20000;
constexpr int kStopTimeout = 10000;

// A child that outlived a crashed test run would keep ports and processes busy. SIGTERM lets the
// simulator still end its shells and remove its temporary files.
void dieWithTestProcess() {
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
}

quint16 freeLoopbackPort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) {
        throw std::runtime_error("no free port on 127.0.0.1");
    }
    return probe.serverPort();
}

bool acceptsConnections(quint16 port) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    return socket.waitForConnected(200);
}

void stopProcess(QProcess& process) {
    if (process.state() == QProcess::NotRunning) {
        return;
    }
    process.terminate();
    if (!process.waitForFinished(kStopTimeout)) {
        process.kill();
        process.waitForFinished(kStopTimeout);
    }
}

} // namespace

QString DeviceSimulatorFixture::defaultSimulatorPath() {
    return QStringLiteral(PAVREL_DEVICE_SIM_PATH);
}

DeviceSimulatorFixture::DeviceSimulatorFixture() : DeviceSimulatorFixture(Options{}) {}

DeviceSimulatorFixture::DeviceSimulatorFixture(Options options) : options_(std::move(options)) {}

DeviceSimulatorFixture::~DeviceSimulatorFixture() {
    stop();
}

QString DeviceSimulatorFixture::root() const {
    return workspace_ ? workspace_->filePath(QStringLiteral("sdcard")) : QString();
}

void DeviceSimulatorFixture::start() {
    try {
        workspace_ = std::make_unique<QTemporaryDir>();
        if (!workspace_->isValid() || !QDir(workspace_->path()).mkpath(QStringLiteral("sdcard"))) {
            throw std::runtime_error("cannot create a temporary folder for the phone");
        }
        startAdbServer();
        startSimulator();
        connect();
    } catch (...) {
        stop();
        throw;
    }
}

void DeviceSimulatorFixture::startAdbServer() {
    hadPreviousServerPort_ = qEnvironmentVariableIsSet("ANDROID_ADB_SERVER_PORT");
    previousServerPort_ = qgetenv("ANDROID_ADB_SERVER_PORT");
    adbServerPort_ = freeLoopbackPort();
    qputenv("ANDROID_ADB_SERVER_PORT", QByteArray::number(adbServerPort_));

    adbServer_ = std::make_unique<QProcess>();
    adbServer_->setChildProcessModifier(dieWithTestProcess);
    // The foreground server logs every step; keep that out of the test output.
    adbServer_->setProcessChannelMode(QProcess::MergedChannels);
    adbServer_->setStandardOutputFile(workspace_->filePath(QStringLiteral("adb-server.log")));
    // In the foreground, so that the server is our child and ends with us.
    adbServer_->start(options_.adbPath, {QStringLiteral("-P"), QString::number(adbServerPort_),
                                         QStringLiteral("nodaemon"), QStringLiteral("server")});
    if (!adbServer_->waitForStarted(kStartTimeout)) {
        throw std::runtime_error("cannot start " + options_.adbPath.toStdString() + ": " +
                                 adbServer_->errorString().toStdString());
    }
    // Until the server listens, an adb client would start a daemon of its own.
    const QDeadlineTimer deadline(kStartTimeout);
    while (!acceptsConnections(adbServerPort_)) {
        if (deadline.hasExpired() || adbServer_->state() == QProcess::NotRunning) {
            throw std::runtime_error("the adb server did not start listening");
        }
        QThread::msleep(50);
    }
}

void DeviceSimulatorFixture::startSimulator() {
    QStringList arguments = {
        QStringLiteral("--root"),    root(),
        QStringLiteral("--port"),    QStringLiteral("0"),
        QStringLiteral("--model"),   options_.model,
        QStringLiteral("--android"), options_.androidVersion,
        QStringLiteral("--battery"), QString::number(options_.batteryLevel),
        QStringLiteral("--control"), workspace_->filePath(QStringLiteral("control"))};
    if (options_.charging) {
        arguments << QStringLiteral("--charging");
    }
    for (const auto& fault : options_.faults) {
        arguments << QStringLiteral("--fault") << fault;
    }
    simulator_ = std::make_unique<QProcess>();
    simulator_->setChildProcessModifier(dieWithTestProcess);
    simulator_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    simulator_->start(options_.simulatorPath, arguments);
    if (!simulator_->waitForStarted(kStartTimeout)) {
        throw std::runtime_error("cannot start " + options_.simulatorPath.toStdString() + ": " +
                                 simulator_->errorString().toStdString());
    }
    static const QRegularExpression listening(
        QStringLiteral("listening on (127\\.0\\.0\\.1:\\d+)"));
    QByteArray announced;
    const QDeadlineTimer deadline(kStartTimeout);
    while (!announced.contains('\n')) {
        if (deadline.hasExpired() || !simulator_->waitForReadyRead(200)) {
            if (deadline.hasExpired() || simulator_->state() == QProcess::NotRunning) {
                throw std::runtime_error("the simulator did not start listening");
            }
            continue;
        }
        announced += simulator_->readAllStandardOutput();
    }
    const auto match = listening.match(QString::fromUtf8(announced));
    if (!match.hasMatch()) {
        throw std::runtime_error("unexpected simulator output: " + announced.toStdString());
    }
    serial_ = match.captured(1);
}

void DeviceSimulatorFixture::connect() {
    // adb connect exits 0 even when it fails; the device list tells the truth.
    const AdbResult connected = adb({QStringLiteral("connect"), serial_});
    if (!connected.finished) {
        throw std::runtime_error("adb connect did not finish");
    }
    if (!waitForState(options_.awaitedState)) {
        throw std::runtime_error(
            "the phone is not listed as " + options_.awaitedState.toStdString() +
            " (adb connect said: " + connected.standardOutput.trimmed().toStdString() + ")");
    }
}

void DeviceSimulatorFixture::stop() {
    if (adbServer_) {
        if (adbServer_->state() != QProcess::NotRunning) {
            adb({QStringLiteral("kill-server")}, {}, kStopTimeout);
            if (!adbServer_->waitForFinished(kStopTimeout)) {
                stopProcess(*adbServer_);
            }
        }
        adbServer_.reset();
        if (hadPreviousServerPort_) {
            qputenv("ANDROID_ADB_SERVER_PORT", previousServerPort_);
        } else {
            qunsetenv("ANDROID_ADB_SERVER_PORT");
        }
    }
    if (simulator_) {
        stopProcess(*simulator_);
        simulator_.reset();
    }
    workspace_.reset();
    serial_.clear();
}

void DeviceSimulatorFixture::control(const QString& command) const {
    QLocalSocket socket;
    socket.connectToServer(workspace_->filePath(QStringLiteral("control")));
    if (!socket.waitForConnected(kStartTimeout)) {
        throw std::runtime_error("cannot reach the simulator's control socket");
    }
    socket.write(command.toUtf8() + '\n');
    QByteArray answer;
    const QDeadlineTimer deadline(kStartTimeout);
    while (!answer.contains('\n') && !deadline.hasExpired()) {
        if (socket.waitForReadyRead(200)) {
            answer += socket.readAll();
        }
    }
    if (answer.trimmed() != "ok") {
        throw std::runtime_error("control command '" + command.toStdString() +
                                 "' refused: " + answer.trimmed().toStdString());
    }
}

DeviceSimulatorFixture::AdbResult DeviceSimulatorFixture::adb(const QStringList& arguments,
                                                              const QByteArray& input,
                                                              int timeoutMilliseconds) const {
    QProcess process;
    process.setChildProcessModifier(dieWithTestProcess);
    process.start(options_.adbPath,
                  QStringList{QStringLiteral("-P"), QString::number(adbServerPort_)} + arguments);
    AdbResult result;
    if (!process.waitForStarted(kStartTimeout)) {
        return result;
    }
    process.write(input);
    process.closeWriteChannel();
    result.finished = process.waitForFinished(timeoutMilliseconds);
    if (!result.finished) {
        process.kill();
        process.waitForFinished(kStopTimeout);
    }
    result.standardOutput = process.readAllStandardOutput();
    result.standardError = process.readAllStandardError();
    result.exitStatus = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return result;
}

DeviceSimulatorFixture::AdbResult DeviceSimulatorFixture::shell(const QString& command) const {
    return adb({QStringLiteral("-s"), serial_, QStringLiteral("shell"), command});
}

QString DeviceSimulatorFixture::state() const {
    const AdbResult listed = adb({QStringLiteral("devices")}, {}, kStartTimeout);
    for (const auto& line : QString::fromUtf8(listed.standardOutput).split(QLatin1Char('\n'))) {
        const QStringList pieces = line.split(QLatin1Char('\t'));
        if (pieces.size() >= 2 && pieces[0] == serial_) {
            return pieces[1].trimmed();
        }
    }
    return {};
}

bool DeviceSimulatorFixture::waitForState(const QString& state, int timeoutMilliseconds) const {
    const QDeadlineTimer deadline(timeoutMilliseconds);
    while (this->state() != state) {
        if (deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(100);
    }
    return true;
}
