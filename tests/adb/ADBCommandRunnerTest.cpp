// The runner against real child processes: shell scripts standing in for adb inside a
// temporary bundle. Covers capture, large outputs, exit statuses, streaming, cancellation,
// a missing or broken executable, and the diagnostic events each run leaves.
#include "ADBCommandRunner.h"
#include "ADBExecutableResolver.h"
#include "BlockingWait.h"
#include "CancelledError.h"
#include "DeviceRepositoryError.h"
#include "DiagnosticLogger.h"
#include "FakeBundle.h"
#include "ManualClock.h"
#include "ProcessLaunchError.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <sys/types.h>

using namespace std::chrono_literals;

namespace {

struct LoggedEvent {
    QString name;
    QMap<QString, QString> fields;
    QString line;
};

// The events written to the session log since this reader was made.
class NewEvents {
public:
    NewEvents() : start_(readLog().size()) {}

    QList<LoggedEvent> read() const {
        QList<LoggedEvent> events;
        const QByteArray text = readLog().mid(start_);
        for (const QByteArray& line : text.split('\n')) {
            if (line.isEmpty()) {
                continue;
            }
            const QStringList parts = QString::fromUtf8(line).split(' ');
            LoggedEvent event{parts.value(1), {}, QString::fromUtf8(line)};
            for (const QString& field : parts.mid(2)) {
                event.fields.insert(field.section('=', 0, 0), field.section('=', 1));
            }
            events.append(event);
        }
        return events;
    }

private:
    static QByteArray readLog() {
        QFile file(DiagnosticLogger::shared().currentLogPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    qsizetype start_;
};

bool processExists(qint64 pid) {
    return pid > 0 && ::kill(pid_t(pid), 0) == 0;
}

// A bundle whose Helpers/adb is the shell script `script`.
class FakeADB {
public:
    explicit FakeADB(const QByteArray& script, bool executable = true) {
        bundle_.writeExecutable("#!/bin/sh\n" + script, executable);
    }

    ADBCommandRunner runner(Clock& clock = steadyClock()) const {
        return ADBCommandRunner(std::make_shared<ADBExecutableResolver>(bundle_.bundle()), clock);
    }

    const FakeBundle& bundle() const { return bundle_; }

private:
    FakeBundle bundle_;
};

ADBCommandResult runNow(ADBCommandRunner& runner, QStringList arguments,
                        std::function<void(const QString&)> onOutput = {}) {
    return blockingWait(runner.run(std::move(arguments), std::move(onOutput)));
}

QByteArray numberedLines(int count) {
    QByteArray text;
    for (int line = 1; line <= count; ++line) {
        text += QByteArray::number(line);
        text += '\n';
    }
    return text;
}

} // namespace

TEST(ADBCommandRunner, PassesArgumentsAsTheyAreAndCapturesBothChannels) {
    FakeADB adb("for argument in \"$@\"; do printf '[%s]\\n' \"$argument\"; done\n"
                "printf 'complaint' >&2\n");
    auto runner = adb.runner();
    const QStringList arguments = {"-s",
                                   "R58M 1",
                                   "shell",
                                   "ls '/sdcard/it'\\''s'",
                                   "a|b",
                                   "--leading-dash",
                                   "Фото отпуск.jpg",
                                   "",
                                   "$(echo x)",
                                   "*"};
    const ADBCommandResult result = runNow(runner, arguments);
    QByteArray expected;
    for (const QString& argument : arguments) {
        expected += "[" + argument.toUtf8() + "]\n";
    }
    EXPECT_EQ(result.outputData, expected);
    EXPECT_EQ(result.errorData, "complaint");
    EXPECT_EQ(result.status, 0);
}

TEST(ADBCommandRunner, ReportsTheExitStatusAndLogsAnIssueForEveryRunThatComplained) {
    struct Case {
        const char* name;
        QByteArray script;
        qint32 status;
        QString error;
    };
    const Case cases[] = {
        {"non-zero exit", "exit 1\n", 1, "none"},
        {"highest exit code", "exit 255\n", 255, "none"},
        {"killed by a signal", "kill -KILL $$\n", SIGKILL, "none"},
        {"exit with an error text", "echo 'error: device UNAUTHORIZED' >&2; exit 1\n", 1,
         "unauthorized"},
        {"success with an error text", "echo 'error: closed' >&2\n", 0, "closed"},
        {"success with unknown error text", "echo 'warning: something' >&2\n", 0, "other"},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        FakeADB adb(testCase.script);
        auto runner = adb.runner();
        NewEvents events;
        const ADBCommandResult result =
            runNow(runner, {"-s", "X", "shell", "mkdir -p '/sdcard/A'"});
        EXPECT_EQ(result.status, testCase.status);
        const auto logged = events.read();
        ASSERT_EQ(logged.size(), 1);
        EXPECT_EQ(logged[0].name, "adb.command.issue");
        EXPECT_EQ(logged[0].fields.keys(),
                  (QStringList{"category", "duration_ms", "error", "status"}));
        EXPECT_EQ(logged[0].fields["category"], "shell.mkdir");
        EXPECT_EQ(logged[0].fields["error"], testCase.error);
        EXPECT_EQ(logged[0].fields["status"], QString::number(testCase.status));
        bool isNumber = false;
        EXPECT_GE(logged[0].fields["duration_ms"].toLongLong(&isNumber), 0);
        EXPECT_TRUE(isNumber);
    }
}

TEST(ADBCommandRunner, LogsAQuietSuccessfulRunOnlyWhenItTookASecondOrMore) {
    struct Case {
        std::chrono::milliseconds duration;
        bool logged;
    };
    for (const Case& testCase : {Case{0ms, false}, Case{300ms, false}, Case{999ms, false},
                                 Case{1000ms, true}, Case{61500ms, true}}) {
        SCOPED_TRACE(testCase.duration.count());
        FakeADB adb("printf listing\n");
        ManualClock clock;
        auto runner = adb.runner(clock);
        NewEvents events;
        // The run's own time passes while the process is running: at its first output.
        const ADBCommandResult result = runNow(
            runner, {"devices", "-l"}, [&](const QString&) { clock.advance(testCase.duration); });
        EXPECT_EQ(result.outputData, "listing");
        const auto logged = events.read();
        if (!testCase.logged) {
            EXPECT_TRUE(logged.isEmpty());
            continue;
        }
        ASSERT_EQ(logged.size(), 1);
        EXPECT_EQ(logged[0].name, "adb.command.issue");
        const QMap<QString, QString> expected{
            {"category", "devices"},
            {"duration_ms", QString::number(testCase.duration.count())},
            {"error", "none"},
            {"status", "0"}};
        EXPECT_EQ(logged[0].fields, expected);
    }
}

TEST(ADBCommandRunner, CapturesFiftyMegabytesWhileTheOtherChannelIsWrittenToo) {
    const int lineCount = 6'500'000;
    FakeADB adb(QByteArray("seq 1 ") + QByteArray::number(lineCount) +
                " & seq 1 300000 >&2\nwait\n");
    auto runner = adb.runner();
    const ADBCommandResult result = runNow(runner, {"-s", "X", "exec-out", "cat '/sdcard/big'"});
    const QByteArray expected = numberedLines(lineCount);
    ASSERT_GT(expected.size(), 50 * 1000 * 1000);
    EXPECT_EQ(result.outputData.size(), expected.size());
    EXPECT_TRUE(result.outputData == expected) << "output lost or reordered";
    EXPECT_TRUE(result.errorData == numberedLines(300000));
    EXPECT_EQ(result.status, 0);
}

TEST(ADBCommandRunner, StreamsTextChunksOfBothChannelsOnTheMainThreadAndSkipsChunksThatAreNotText) {
    FakeADB adb("printf 'Передача 10%%\\n'\nsleep 0.3\n"
                "printf '\\377\\376 not text\\n'\nsleep 0.3\n"
                "printf 'error line\\n' >&2\nsleep 0.3\n"
                "printf 'done\\n'\n");
    auto runner = adb.runner();
    QStringList chunks;
    bool allOnMainThread = true;
    const ADBCommandResult result =
        runNow(runner, {"-s", "X", "pull", "/sdcard/a", "/tmp/a"}, [&](const QString& chunk) {
            allOnMainThread = allOnMainThread && QThread::currentThread() == qApp->thread();
            chunks << chunk;
        });
    EXPECT_EQ(chunks.join(""), QString("Передача 10%\nerror line\ndone\n"));
    EXPECT_TRUE(allOnMainThread);
    EXPECT_EQ(result.outputData, QByteArray("Передача 10%\n\xff\xfe not text\ndone\n"));
    EXPECT_EQ(result.errorData, "error line\n");
}

TEST(ADBCommandRunner, CancellingARunningCommandTerminatesItAndLogsTheCancellation) {
    FakeADB adb("echo $$\necho 'partial' >&2\nexec sleep 1000\n");
    auto runner = adb.runner();
    NewEvents events;
    QString output;
    auto task = spawn(runner.run({"-s", "X", "shell", "ls '/sdcard/Secret'"},
                                 [&](const QString& chunk) { output += chunk; }));
    processEventsUntil([&] { return output.contains("partial") || task.isFinished(); });
    const qint64 pid = output.section('\n', 0, 0).toLongLong();
    ASSERT_TRUE(processExists(pid));

    task.cancel();
    EXPECT_THROW(blockingWait(task), CancelledError);
    EXPECT_FALSE(processExists(pid));
    const auto logged = events.read();
    ASSERT_EQ(logged.size(), 1);
    EXPECT_EQ(logged[0].name, "adb.command.failed");
    EXPECT_EQ(logged[0].fields.keys(), (QStringList{"category", "duration_ms", "error"}));
    EXPECT_EQ(logged[0].fields["category"], "shell.ls");
    EXPECT_EQ(logged[0].fields["error"], "cancelled");
}

TEST(ADBCommandRunner, ACancellationThatArrivesBeforeTheLaunchCompletesLeavesNoProcess) {
    QTemporaryDir scratch;
    const QString pidFile = scratch.filePath("pid");
    FakeADB adb(QString("echo $$ > '%1'\nexec sleep 1000\n").arg(pidFile).toUtf8());
    auto runner = adb.runner();
    NewEvents events;
    auto task = spawn(runner.run({"devices", "-l"}));
    task.cancel();
    EXPECT_THROW(blockingWait(task), CancelledError);
    QFile written(pidFile);
    if (written.open(QIODevice::ReadOnly)) {
        EXPECT_FALSE(processExists(written.readAll().trimmed().toLongLong()));
    }
    const auto logged = events.read();
    ASSERT_EQ(logged.size(), 1);
    EXPECT_EQ(logged[0].fields["error"], "cancelled");
}

TEST(ADBCommandRunner, ATaskCancelledBeforeTheRunStartsNoProcessAndLogsNothing) {
    QTemporaryDir scratch;
    const QString marker = scratch.filePath("ran");
    FakeADB adb(QString("touch '%1'\n").arg(marker).toUtf8());
    auto runner = adb.runner();
    ManualClock clock;
    NewEvents events;
    auto task = spawn([&]() -> Task<ADBCommandResult> {
        try {
            co_await clock.sleep(1h);
        } catch (const CancelledError&) {
        }
        // Named: g++ 12 cannot keep a braced list alive across a co_await.
        const QStringList arguments{"devices", "-l"};
        co_return co_await runner.run(arguments);
    });
    task.cancel();
    EXPECT_THROW(blockingWait(task), CancelledError);
    EXPECT_FALSE(QFile::exists(marker));
    EXPECT_TRUE(events.read().isEmpty());
}

TEST(ADBCommandRunner, AMissingOrNonExecutableAdbFailsEveryRunWithoutAProcess) {
    QTemporaryDir scratch;
    const QString marker = scratch.filePath("ran");
    const QByteArray script = QString("touch '%1'\n").arg(marker).toUtf8();
    struct Case {
        const char* name;
        std::function<void(const FakeBundle&)> prepare;
    };
    const Case cases[] = {
        {"missing", [](const FakeBundle&) {}},
        {"not executable", [&](const FakeBundle& b) { b.writeExecutable(script, false); }},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        FakeBundle bundle;
        testCase.prepare(bundle);
        ADBCommandRunner runner(std::make_shared<ADBExecutableResolver>(bundle.bundle()));
        const std::pair<QStringList, QString> runs[] = {
            {{"devices", "-l"}, "devices"},
            {{"-s", "X", "shell", "df -k '/sdcard'"}, "shell.df"},
        };
        for (const auto& [arguments, category] : runs) {
            NewEvents events;
            try {
                runNow(runner, arguments);
                ADD_FAILURE() << "the run succeeded";
            } catch (const DeviceRepositoryError& error) {
                EXPECT_EQ(error.errorCase(), DeviceRepositoryError::Case::adbNotFound);
            }
            const auto logged = events.read();
            ASSERT_EQ(logged.size(), 1);
            EXPECT_EQ(logged[0].name, "adb.command.failed");
            const QMap<QString, QString> expected{{"category", category},
                                                  {"error", "adb_not_found"}};
            EXPECT_EQ(logged[0].fields, expected);
        }
        EXPECT_FALSE(QFile::exists(marker));
    }
}

TEST(ADBCommandRunner, ALaunchTheSystemRefusesIsAProcessError) {
    struct Case {
        const char* name;
        QByteArray content;
    };
    const Case cases[] = {
        {"interpreter missing", "#!/nonexistent/interpreter\n"},
        {"not a program", QByteArray("\x7f"
                                     "ELF\x02\x01\x01 truncated",
                                     16)},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        FakeBundle bundle;
        bundle.writeExecutable(testCase.content);
        ADBCommandRunner runner(std::make_shared<ADBExecutableResolver>(bundle.bundle()));
        NewEvents events;
        EXPECT_THROW(runNow(runner, {"connect", "192.168.1.5:5555"}), ProcessLaunchError);
        const auto logged = events.read();
        ASSERT_EQ(logged.size(), 1);
        EXPECT_EQ(logged[0].name, "adb.command.failed");
        EXPECT_EQ(logged[0].fields["category"], "connect");
        EXPECT_EQ(logged[0].fields["error"], "process_error");
        EXPECT_TRUE(logged[0].fields.contains("duration_ms"));
    }
}

TEST(ADBCommandRunner, EventsNeverCarryArgumentsPathsOrOutput) {
    FakeADB adb(
        "echo 'secret-output /sdcard/Личное' ; echo \"error: closed $2 /sdcard/Личное\" >&2; "
        "exit 1\n");
    auto runner = adb.runner();
    NewEvents events;
    runNow(runner, {"-s", "SERIAL-9F1C", "shell", "stat -c '%s' '/sdcard/Личное/фото.jpg'"});
    const auto logged = events.read();
    ASSERT_EQ(logged.size(), 1);
    for (const QString& secret : {QString("SERIAL-9F1C"), QString("/sdcard"), QString("Личное"),
                                  QString("secret-output"), adb.bundle().path()}) {
        EXPECT_FALSE(logged[0].line.contains(secret)) << logged[0].line.toStdString();
    }
}

TEST(ADBCommandRunner, RunsInFlightAtTheSameTimeKeepTheirOwnOutput) {
    FakeADB adb("sleep 0.2\nprintf '%s' \"$1\"\nprintf '%s' \"$1\" >&2\nexit ${#1}\n");
    auto runner = adb.runner();
    auto first = spawn(runner.run({"first"}));
    auto second = spawn(runner.run({"second-run"}));
    const ADBCommandResult secondResult = blockingWait(second);
    const ADBCommandResult firstResult = blockingWait(first);
    EXPECT_EQ(firstResult.outputData, "first");
    EXPECT_EQ(firstResult.errorData, "first");
    EXPECT_EQ(firstResult.status, 5);
    EXPECT_EQ(secondResult.outputData, "second-run");
    EXPECT_EQ(secondResult.errorData, "second-run");
    EXPECT_EQ(secondResult.status, 10);
}
