// Each fault of the simulated phone, switched at start or through the control socket, as the
// real adb experiences it.
#include "SimulatorTestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

namespace {

using Fixture = DeviceSimulatorFixture;

std::unique_ptr<Fixture> startedPhone(Fixture::Options options = {}) {
    auto phone = std::make_unique<Fixture>(std::move(options));
    phone->start();
    return phone;
}

Fixture::AdbResult onPhone(const Fixture& phone, QStringList arguments) {
    return phone.adb(QStringList{QStringLiteral("-s"), phone.serial()} + arguments);
}

bool waitUntil(const std::function<bool()>& condition, int timeoutMilliseconds = 10000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMilliseconds) {
            return false;
        }
        QThread::msleep(50);
    }
    return true;
}

TEST(SimulatorFaultTest, RefusedAuthorisationListsThePhoneAsUnauthorized) {
    Fixture::Options options;
    options.faults = {QStringLiteral("auth refuse")};
    options.awaitedState = QStringLiteral("unauthorized");
    auto phone = startedPhone(options);
    const auto refused = onPhone(*phone, {QStringLiteral("shell"), QStringLiteral("true")});
    EXPECT_NE(refused.exitStatus, 0);
    EXPECT_TRUE(refused.standardError.contains("unauthorized"))
        << refused.standardError.toStdString();

    // Accepting while connected: the host reconnects and is let in.
    phone->control(QStringLiteral("auth accept"));
    ASSERT_TRUE(phone->waitForState(QStringLiteral("device")));
    EXPECT_EQ(onPhone(*phone, {QStringLiteral("shell"), QStringLiteral("echo in")}).standardOutput,
              "in\n");

    phone->control(QStringLiteral("auth refuse"));
    EXPECT_TRUE(phone->waitForState(QStringLiteral("unauthorized")));
}

TEST(SimulatorFaultTest, DropEndsARunningTransferAndThePhoneComesBack) {
    auto phone = startedPhone();
    writeHostFile(QDir(phone->root()).filePath(QStringLiteral("big.bin")),
                  randomBytes(4 * 1024 * 1024));
    phone->control(QStringLiteral("rate 500000"));
    QTemporaryDir local;
    auto pull = startAdb(*phone, {QStringLiteral("-s"), phone->serial(), QStringLiteral("pull"),
                                  QStringLiteral("/sdcard/big.bin"),
                                  local.filePath(QStringLiteral("big.bin"))});
    QThread::msleep(700);
    ASSERT_EQ(pull->state(), QProcess::Running) << "the slowed pull should still be running";
    phone->control(QStringLiteral("drop"));
    ASSERT_TRUE(pull->waitForFinished(20000));
    EXPECT_NE(pull->exitCode(), 0);

    phone->control(QStringLiteral("rate off"));
    ASSERT_TRUE(waitUntil([&] {
        return onPhone(*phone, {QStringLiteral("shell"), QStringLiteral("echo back")})
                   .standardOutput == "back\n";
    })) << "adb reconnects to a dropped phone";
}

TEST(SimulatorFaultTest, DropAfterBytesCutsAPushAndLeavesNoPartialFile) {
    auto phone = startedPhone();
    QTemporaryDir local;
    const QByteArray bytes = randomBytes(8 * 1024 * 1024);
    writeHostFile(local.filePath(QStringLiteral("big.bin")), bytes);
    const QString onDevice = QDir(phone->root()).filePath(QStringLiteral("big.bin"));
    const QStringList push = {QStringLiteral("push"), local.filePath(QStringLiteral("big.bin")),
                              QStringLiteral("/sdcard/big.bin")};

    phone->control(QStringLiteral("drop after 1000000"));
    const auto cut = onPhone(*phone, push);
    EXPECT_NE(cut.exitStatus, 0);
    EXPECT_TRUE(waitUntil([&] { return !QFileInfo::exists(onDevice); }))
        << "a broken push removes its partial file";

    // The budget is spent: once adb has reconnected, the same push goes through.
    ASSERT_TRUE(waitUntil([&] { return phone->state() == QStringLiteral("device"); }));
    const auto whole = onPhone(*phone, push);
    EXPECT_EQ(whole.exitStatus, 0) << whole.standardError.toStdString();
    EXPECT_TRUE(readHostFile(onDevice) == bytes);
}

TEST(SimulatorFaultTest, SilentPhoneAnswersNothingUntilItSpeaksAgain) {
    auto phone = startedPhone();
    phone->control(QStringLiteral("silent on"));
    auto shell = startAdb(*phone, {QStringLiteral("-s"), phone->serial(), QStringLiteral("shell"),
                                   QStringLiteral("echo answered")});
    EXPECT_FALSE(shell->waitForFinished(1500)) << "a silent phone must not answer";
    phone->control(QStringLiteral("silent off"));
    ASSERT_TRUE(shell->waitForFinished(20000));
    EXPECT_EQ(shell->exitCode(), 0);
    EXPECT_EQ(shell->readAllStandardOutput(), "answered\n");
}

TEST(SimulatorFaultTest, PhoneSilentFromTheStartStaysOfflineUntilItAnswers) {
    Fixture::Options options;
    options.faults = {QStringLiteral("silent on")};
    // adb gives up connecting after its own time-out and lists the phone as offline.
    options.awaitedState = QStringLiteral("offline");
    auto phone = startedPhone(options);
    const auto offline = onPhone(*phone, {QStringLiteral("shell"), QStringLiteral("true")});
    EXPECT_NE(offline.exitStatus, 0);
    EXPECT_TRUE(offline.standardError.contains("offline")) << offline.standardError.toStdString();

    phone->control(QStringLiteral("silent off"));
    ASSERT_TRUE(phone->waitForState(QStringLiteral("device")));
    EXPECT_EQ(onPhone(*phone, {QStringLiteral("shell"), QStringLiteral("echo up")}).standardOutput,
              "up\n");
}

TEST(SimulatorFaultTest, RateLimitSlowsTransfers) {
    auto phone = startedPhone();
    QTemporaryDir local;
    const QByteArray bytes = randomBytes(1500000);
    writeHostFile(QDir(phone->root()).filePath(QStringLiteral("slow.bin")), bytes);
    phone->control(QStringLiteral("rate 1000000"));
    QElapsedTimer timer;
    timer.start();
    const auto pulled = onPhone(*phone, {QStringLiteral("pull"), QStringLiteral("/sdcard/slow.bin"),
                                         local.filePath(QStringLiteral("slow.bin"))});
    // Only a lower bound: 1.5 MB at 1 MB/s cannot take less than about 1.5 s.
    EXPECT_GE(timer.elapsed(), 1200);
    EXPECT_EQ(pulled.exitStatus, 0);
    EXPECT_TRUE(readHostFile(local.filePath(QStringLiteral("slow.bin"))) == bytes);
}

struct BatteryCase {
    const char* reason;
    std::vector<const char*> commands;
    const char* level;
    const char* status;
    const char* usbPowered;
};

// Test names show the reason rather than the bytes of the case.
void PrintTo(const BatteryCase& c, std::ostream* out) {
    *out << c.reason;
}

class SimulatorBatteryTest : public SharedPhoneTest,
                             public testing::WithParamInterface<BatteryCase> {
protected:
    static void SetUpTestSuite() { startPhone(); }
};

TEST_P(SimulatorBatteryTest, BatteryReportFollowsTheControl) {
    const auto& c = GetParam();
    for (const char* command : c.commands) {
        phone->control(QString::fromUtf8(command));
    }
    const QString report =
        QString::fromUtf8(phone->shell(QStringLiteral("dumpsys battery")).standardOutput);
    EXPECT_TRUE(
        report.contains(QStringLiteral("  level: ") + QLatin1String(c.level) + QLatin1Char('\n')))
        << c.reason << "\n"
        << report.toStdString();
    EXPECT_TRUE(
        report.contains(QStringLiteral("  status: ") + QLatin1String(c.status) + QLatin1Char('\n')))
        << c.reason << "\n"
        << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("USB powered: ") + QLatin1String(c.usbPowered)))
        << c.reason;
}

INSTANTIATE_TEST_SUITE_P(
    States, SimulatorBatteryTest,
    testing::Values(
        BatteryCase{"discharging", {"battery 15", "charging off"}, "15", "3", "false"},
        BatteryCase{"charging", {"battery 40", "charging on"}, "40", "2", "true"},
        BatteryCase{"full while plugged in", {"battery 100", "charging on"}, "100", "5", "true"},
        BatteryCase{"empty", {"battery 0", "charging off"}, "0", "3", "false"}));

class SimulatorStorageReportTest : public SharedPhoneTest {
protected:
    static void SetUpTestSuite() { startPhone(); }
};

TEST_F(SimulatorStorageReportTest, DfReportsTheGivenFreeAndTotal) {
    auto lastLine = [] {
        return QString::fromUtf8(
                   phone->shell(QStringLiteral("df -k /sdcard | tail -n 1")).standardOutput)
            .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    };
    phone->control(QStringLiteral("df 262144000 1048576000"));
    const QStringList faked = lastLine();
    ASSERT_GE(faked.size(), 4);
    EXPECT_EQ(faked[1], QStringLiteral("1024000"));
    EXPECT_EQ(faked[2], QStringLiteral("768000"));
    EXPECT_EQ(faked[3], QStringLiteral("256000"));

    // Beyond 32 bits of kibibytes still comes out whole.
    phone->control(QStringLiteral("df 8796093022208 17592186044416"));
    EXPECT_EQ(lastLine().value(3), QStringLiteral("8589934592"));

    phone->control(QStringLiteral("df off"));
    const QStringList real = lastLine();
    EXPECT_NE(real.value(0), QStringLiteral("/dev/fuse"));
    EXPECT_NE(real.value(1), faked[1]);
}

TEST_F(SimulatorStorageReportTest, RefusedControlCommandsChangeNothing) {
    EXPECT_THROW(phone->control(QStringLiteral("battery 101")), std::runtime_error);
    EXPECT_THROW(phone->control(QStringLiteral("df 10 5")), std::runtime_error);
    EXPECT_THROW(phone->control(QStringLiteral("explode")), std::runtime_error);
    EXPECT_EQ(phone->shell(QStringLiteral("echo still")).standardOutput, "still\n");
}

} // namespace
