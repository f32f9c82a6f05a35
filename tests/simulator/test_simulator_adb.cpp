// The simulated phone against the real adb: connection and device list, the shell's exit
// statuses, streams and input, exec's binary output, and the phone's own commands.
#include "SimulatorTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>

namespace {

class SimulatorShellTest : public SharedPhoneTest {
protected:
    static void SetUpTestSuite() {
        DeviceSimulatorFixture::Options options;
        options.model = QStringLiteral("Pixel 7 Pro");
        options.androidVersion = QStringLiteral("13");
        options.batteryLevel = 64;
        options.charging = true;
        startPhone(options);
    }
};

TEST_F(SimulatorShellTest, DeviceListShowsTheModelAsAdbSpellsIt) {
    const auto listed = phone->adb({QStringLiteral("devices"), QStringLiteral("-l")});
    ASSERT_EQ(listed.exitStatus, 0);
    const QString line = QString::fromUtf8(listed.standardOutput)
                             .split(QLatin1Char('\n'))
                             .filter(phone->serial())
                             .value(0);
    EXPECT_TRUE(line.contains(QRegularExpression(QStringLiteral("\\sdevice\\s"))))
        << line.toStdString();
    for (const char* piece : {"model:Pixel_7_Pro", "product:pixel_7_pro", "device:pixel_7_pro"}) {
        EXPECT_TRUE(line.contains(QLatin1String(piece))) << piece << " in " << line.toStdString();
    }
}

TEST_F(SimulatorShellTest, AnswersTheModelAndReleaseQuery) {
    const auto answer =
        phone->shell(QStringLiteral("printf '%s\\n%s\\n' \"$(getprop ro.product.model)\" "
                                    "\"$(getprop ro.build.version.release)\""));
    EXPECT_EQ(answer.exitStatus, 0);
    EXPECT_EQ(answer.standardOutput, "Pixel 7 Pro\n13\n");
}

struct ShellCase {
    const char* reason;
    const char* command;
    int status;
    const char* standardOutput;
    const char* standardErrorContains;
};

// Test names show the reason rather than the bytes of the case.
void PrintTo(const ShellCase& c, std::ostream* out) {
    *out << c.reason;
}

class SimulatorShellStatusTest : public SimulatorShellTest,
                                 public testing::WithParamInterface<ShellCase> {};

TEST_P(SimulatorShellStatusTest, ReportsStatusAndSeparateStreams) {
    const auto& c = GetParam();
    const auto result = phone->shell(QString::fromUtf8(c.command));
    EXPECT_EQ(result.exitStatus, c.status) << c.reason;
    EXPECT_EQ(result.standardOutput, QByteArray(c.standardOutput)) << c.reason;
    EXPECT_TRUE(result.standardError.contains(c.standardErrorContains))
        << c.reason << ": " << result.standardError.toStdString();
    if (*c.standardErrorContains == '\0') {
        EXPECT_EQ(result.standardError, QByteArray()) << c.reason;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, SimulatorShellStatusTest,
    testing::Values(ShellCase{"success", "true", 0, "", ""},
                    ShellCase{"both streams and a status", "echo out; echo err >&2; exit 3", 3,
                              "out\n", "err\n"},
                    ShellCase{"highest status", "exit 255", 255, "", ""},
                    ShellCase{"killed by a signal", "kill -KILL $$", 137, "", ""},
                    ShellCase{"unknown command", "no-such-command-here", 127, "", "not found"},
                    ShellCase{"missing file", "ls /sdcard/missing", 2, "", "No such file"},
                    ShellCase{"test -d of storage",
                              "test -d /sdcard && test -d /storage/emulated/0", 0, "", ""},
                    ShellCase{"test -e of a missing item", "test -e /sdcard/missing", 1, "", ""},
                    ShellCase{"runs as the shell user in /", "id -u; pwd", 0, "2000\n/\n", ""}));

TEST_F(SimulatorShellTest, StandardInputReachesTheCommand) {
    const auto echoed = phone->adb(
        {QStringLiteral("-s"), phone->serial(), QStringLiteral("shell"), QStringLiteral("cat")},
        "line one\nline two\n");
    EXPECT_EQ(echoed.exitStatus, 0);
    EXPECT_EQ(echoed.standardOutput, "line one\nline two\n");
    // More than one message and one shell packet, so that the flow control is exercised.
    const QByteArray large = randomBytes(3 * 1024 * 1024 + 17);
    const auto counted = phone->adb(
        {QStringLiteral("-s"), phone->serial(), QStringLiteral("shell"), QStringLiteral("wc -c")},
        large);
    EXPECT_EQ(counted.standardOutput.trimmed(), QByteArray::number(large.size()));
}

TEST_F(SimulatorShellTest, InteractiveSessionReadsCommandsFromInput) {
    const auto session =
        phone->adb({QStringLiteral("-s"), phone->serial(), QStringLiteral("shell")},
                   "echo first\necho second >&2\nexit 5\n");
    EXPECT_EQ(session.exitStatus, 5);
    EXPECT_EQ(session.standardOutput, "first\n");
    EXPECT_EQ(session.standardError, "second\n");
}

TEST_F(SimulatorShellTest, PlainShellFallbackJoinsStreamsAndHasNoStatus) {
    const auto plain =
        phone->adb({QStringLiteral("-s"), phone->serial(), QStringLiteral("shell"),
                    QStringLiteral("-x"), QStringLiteral("echo out; echo err >&2; exit 4")});
    EXPECT_EQ(plain.exitStatus, 0);
    EXPECT_EQ(plain.standardOutput, "out\nerr\n");
}

TEST_F(SimulatorShellTest, UnknownServicesAreRefused) {
    const auto refused =
        phone->adb({QStringLiteral("-s"), phone->serial(), QStringLiteral("reboot")});
    EXPECT_NE(refused.exitStatus, 0);
    EXPECT_EQ(phone->shell(QStringLiteral("echo alive")).standardOutput, "alive\n");
}

TEST_F(SimulatorShellTest, LargeOutputArrivesWhole) {
    const auto result = phone->shell(QStringLiteral("yes 0123456789 | head -n 400000"));
    ASSERT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput.size(), 400000 * 11);
    EXPECT_EQ(result.standardOutput.count("0123456789\n"), 400000);
}

TEST_F(SimulatorShellTest, ExecOutputIsBinaryExact) {
    QByteArray bytes;
    for (int round = 0; round < 300; ++round) {
        for (int value = 0; value < 256; ++value) {
            bytes.append(static_cast<char>(value));
        }
        bytes.append("\r\n\n\r");
    }
    bytes += randomBytes(2 * 1024 * 1024);
    writeHostFile(QDir(phone->root()).filePath(QStringLiteral("bytes.bin")), bytes);
    const auto whole =
        phone->adb({QStringLiteral("-s"), phone->serial(), QStringLiteral("exec-out"),
                    QStringLiteral("cat /sdcard/bytes.bin")});
    EXPECT_EQ(whole.exitStatus, 0);
    EXPECT_TRUE(whole.standardOutput == bytes) << "got " << whole.standardOutput.size() << " bytes";
    const auto prefix =
        phone->adb({QStringLiteral("-s"), phone->serial(), QStringLiteral("exec-out"),
                    QStringLiteral("head -c 1000 '/sdcard/bytes.bin'")});
    EXPECT_EQ(prefix.standardOutput, bytes.left(1000));
}

TEST_F(SimulatorShellTest, ExecInputIsBinaryExact) {
    const QByteArray bytes = randomBytes(3 * 1024 * 1024 + 5);
    const auto sent = phone->adb({QStringLiteral("-s"), phone->serial(), QStringLiteral("exec-in"),
                                  QStringLiteral("cat > /sdcard/in.bin")},
                                 bytes);
    EXPECT_EQ(sent.exitStatus, 0);
    // The phone's cat may still be writing its last piece when adb returns.
    const QString written = QDir(phone->root()).filePath(QStringLiteral("in.bin"));
    for (int wait = 0; wait < 100 && readHostFile(written).size() < bytes.size(); ++wait) {
        QThread::msleep(50);
    }
    EXPECT_TRUE(readHostFile(written) == bytes);
}

TEST_F(SimulatorShellTest, BothStorageNamesShowTheHostFolder) {
    const auto written = phone->shell(
        QStringLiteral("echo written > /storage/emulated/0/both.txt && cat /sdcard/both.txt"));
    EXPECT_EQ(written.standardOutput, "written\n");
    EXPECT_EQ(readHostFile(QDir(phone->root()).filePath(QStringLiteral("both.txt"))), "written\n");
}

TEST_F(SimulatorShellTest, BatteryReportHasLevelAndStatusLines) {
    const auto battery = phone->shell(QStringLiteral("dumpsys battery"));
    EXPECT_EQ(battery.exitStatus, 0);
    const QString text = QString::fromUtf8(battery.standardOutput);
    EXPECT_TRUE(text.contains(QStringLiteral("\n  level: 64\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\n  status: 2\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("USB powered: true"))) << text.toStdString();
}

TEST_F(SimulatorShellTest, StorageFiguresComeInKibibyteColumns) {
    const auto df = phone->shell(QStringLiteral("df -k /sdcard | tail -n 1"));
    EXPECT_EQ(df.exitStatus, 0);
    const QStringList pieces =
        QString::fromUtf8(df.standardOutput)
            .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    ASSERT_GE(pieces.size(), 4) << df.standardOutput.toStdString();
    bool totalIsNumber = false, freeIsNumber = false;
    EXPECT_GT(pieces[1].toLongLong(&totalIsNumber), 0);
    pieces[3].toLongLong(&freeIsNumber);
    EXPECT_TRUE(totalIsNumber && freeIsNumber) << df.standardOutput.toStdString();
}

TEST_F(SimulatorShellTest, MediaScanIsAnsweredAsByAPhoneThatSupportsIt) {
    writeHostFile(QDir(phone->root()).filePath(QStringLiteral("scanned.jpg")), "jpeg");
    const QString path = shellQuoted(QStringLiteral("/sdcard/scanned.jpg"));
    const auto call = phone->shell(QStringLiteral("content call --uri content://media --method "
                                                  "scan_file --arg ") +
                                   path);
    EXPECT_EQ(call.exitStatus, 0);
    EXPECT_TRUE(call.standardOutput.contains("android.intent.extra.STREAM"))
        << call.standardOutput.toStdString();
    // The product's scan script takes the content call's answer and stops there.
    const auto script = phone->shell(
        QStringLiteral("content call --uri content://media --method scan_file --arg ") + path +
        QStringLiteral(" 2>&1 | grep -q android.intent.extra.STREAM || find ") + path +
        QStringLiteral(" -type f | while IFS= read -r f; do am broadcast -a "
                       "android.intent.action.MEDIA_SCANNER_SCAN_FILE -d \"file://$f\" "
                       ">/dev/null 2>&1; done"));
    EXPECT_EQ(script.exitStatus, 0);
    const auto broadcast = phone->shell(QStringLiteral(
        "am broadcast -a android.intent.action.MEDIA_SCANNER_SCAN_FILE -d file:///sdcard/x"));
    EXPECT_EQ(broadcast.exitStatus, 0);
    EXPECT_TRUE(broadcast.standardOutput.contains("Broadcast completed"));
}

// Every process of a phone names its storage folder on its command line (the simulator and
// each sandboxed shell), which finds any that outlived the fixture.
QStringList processesNaming(const QString& text) {
    QStringList found;
    for (const auto& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        const QByteArray commandLine =
            readHostFile(QStringLiteral("/proc/") + pid + QStringLiteral("/cmdline"));
        if (pid.toInt() > 0 && commandLine.contains(text.toUtf8())) {
            found << pid + QLatin1Char(' ') +
                         QString::fromUtf8(commandLine).replace(QChar(0), QChar(' '));
        }
    }
    return found;
}

TEST(SimulatorLifecycleTest, StoppingLeavesNothingRunning) {
    const QByteArray serverPortBefore = qgetenv("ANDROID_ADB_SERVER_PORT");
    DeviceSimulatorFixture phone;
    phone.start();
    const QString root = phone.root();
    const quint16 serverPort = phone.adbServerPort();
    const quint16 phonePort = phone.serial().section(QLatin1Char(':'), 1).toUShort();
    // A command that would run for minutes, and a transfer, both cut by the stop.
    auto sleeping = startAdb(phone, {QStringLiteral("-s"), phone.serial(), QStringLiteral("shell"),
                                     QStringLiteral("sleep 300")});
    QThread::msleep(500);
    ASSERT_FALSE(processesNaming(root).isEmpty());

    phone.stop();
    EXPECT_TRUE(sleeping->waitForFinished(10000));
    EXPECT_EQ(processesNaming(root), QStringList());
    EXPECT_FALSE(QFileInfo::exists(root));
    for (quint16 port : {serverPort, phonePort}) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port);
        EXPECT_FALSE(probe.waitForConnected(500)) << "port " << port << " still answers";
    }
    EXPECT_EQ(qgetenv("ANDROID_ADB_SERVER_PORT"), serverPortBefore);
}

} // namespace
