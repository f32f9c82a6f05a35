// scripts/demo against the real simulator, adb and sample phone: the phone is reachable from
// the command it starts, the build's sample stays untouched, and nothing outlives the demo.
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <map>

namespace {

const QString buildDir = QStringLiteral(PAVREL_BUILD_DIR);
const QString adb = buildDir + "/Pavrel.app/Contents/Helpers/adb";

bool isListening(int port) {
    QTcpSocket socket;
    socket.connectToHost("127.0.0.1", static_cast<quint16>(port));
    return socket.waitForConnected(2000);
}

bool processExists(qint64 pid) {
    return ::kill(static_cast<pid_t>(pid), 0) == 0;
}

// "name=value" lines the session printed.
std::map<QString, QString> reported(const QByteArray& output) {
    std::map<QString, QString> values;
    const QRegularExpression line("^([a-z-]+)=(.*)$", QRegularExpression::MultilineOption);
    auto matches = line.globalMatch(QString::fromUtf8(output));
    while (matches.hasNext()) {
        const auto match = matches.next();
        values[match.captured(1)] = match.captured(2);
    }
    return values;
}

class DemoScriptTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temporary.isValid());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TMPDIR", temporary.path());
        environment.remove("ANDROID_ADB_SERVER_PORT");
        demo.setProcessEnvironment(environment);
    }

    // Should the demo fail to clean up, the test reports it and then does it, so that nothing
    // outlives the test either.
    void TearDown() override {
        const auto values = reported(output);
        if (values.count("adb-server-port") == 1 &&
            isListening(values.at("adb-server-port").toInt())) {
            QProcessEnvironment environment;
            environment.insert("ANDROID_ADB_SERVER_PORT", values.at("adb-server-port"));
            QProcess killServer;
            killServer.setProcessEnvironment(environment);
            killServer.start(adb, {"kill-server"});
            killServer.waitForFinished(10000);
        }
        if (values.count("session-pid") == 1) {
            ::kill(static_cast<pid_t>(values.at("session-pid").toLongLong()), SIGKILL);
        }
        if (demo.state() != QProcess::NotRunning) {
            demo.kill();
            demo.waitForFinished(10000);
        }
    }

    void startDemo(const char* sessionMode) {
        demo.start(PAVREL_DEMO_SCRIPT, {buildDir, "--", PAVREL_DEMO_SESSION, adb, sessionMode});
        ASSERT_TRUE(demo.waitForStarted());
    }

    // Everything the demo started is gone: servers, the session, and its copy of the phone.
    void expectNothingLeft(const std::map<QString, QString>& values) {
        ASSERT_EQ(values.count("adb-server-port"), 1u);
        ASSERT_EQ(values.count("device-port"), 1u);
        EXPECT_FALSE(isListening(values.at("adb-server-port").toInt())) << "adb server";
        EXPECT_FALSE(isListening(values.at("device-port").toInt())) << "simulator";
        if (values.count("session-pid") == 1) {
            EXPECT_FALSE(processExists(values.at("session-pid").toLongLong())) << "session";
        }
        EXPECT_TRUE(
            QDir(temporary.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
            << "temporary files";
        EXPECT_FALSE(QFile::exists(buildDir + "/sample-phone/Download/written by the demo.txt"))
            << "the phone must serve a copy of the sample";
    }

    QTemporaryDir temporary;
    QProcess demo;
    QByteArray output; // what the demo printed so far
};

TEST_F(DemoScriptTest, PhoneIsReachableAndEverythingStopsWhenTheSessionQuits) {
    startDemo("quit");
    ASSERT_TRUE(demo.waitForFinished(120000));
    output = demo.readAllStandardOutput();
    EXPECT_EQ(demo.exitCode(), 0) << output.toStdString()
                                  << demo.readAllStandardError().toStdString();
    const auto values = reported(output);
    ASSERT_EQ(values.count("session-pid"), 1u) << output.toStdString();
    expectNothingLeft(values);
}

TEST_F(DemoScriptTest, InterruptStopsEverything) {
    startDemo("wait");
    while (!output.contains("session-pid=") && demo.waitForReadyRead(120000)) {
        output += demo.readAllStandardOutput();
    }
    ASSERT_TRUE(output.contains("session-pid=")) << demo.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(demo.processId()), SIGINT);
    ASSERT_TRUE(demo.waitForFinished(60000));
    EXPECT_EQ(demo.exitCode(), 130);
    output += demo.readAllStandardOutput();
    expectNothingLeft(reported(output));
}

TEST_F(DemoScriptTest, MissingBuildIsReportedBeforeAnythingStarts) {
    demo.start(PAVREL_DEMO_SCRIPT, {temporary.filePath("no-build"), "--", "true"});
    ASSERT_TRUE(demo.waitForFinished(30000));
    EXPECT_EQ(demo.exitCode(), 1);
    EXPECT_TRUE(demo.readAllStandardError().contains("is missing; build first"));
    EXPECT_TRUE(QDir(temporary.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot));
}

} // namespace
