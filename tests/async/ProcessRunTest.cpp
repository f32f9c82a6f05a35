// Awaiting real child processes: normal ends, refused starts, and cancellation that must
// leave no process behind whenever it arrives.
#include "ProcessRun.h"
#include "BlockingWait.h"
#include "CancelledError.h"
#include "OneShotWaiters.h"
#include "ProcessLaunchError.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <sys/types.h>

namespace {

bool processExists(qint64 pid) {
    return ::kill(pid_t(pid), 0) == 0;
}

void prepareShell(QProcess& process, const QString& script) {
    process.setProgram("/bin/sh");
    process.setArguments({"-c", script});
}

} // namespace

TEST(AsyncProcess, WaitsForTheProcessToFinish) {
    QProcess process;
    prepareShell(process, "printf done; exit 3");
    blockingWait(runProcess(process));
    EXPECT_EQ(process.state(), QProcess::NotRunning);
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 3);
    EXPECT_EQ(process.readAllStandardOutput(), "done");
}

TEST(AsyncProcess, ARefusedStartIsALaunchError) {
    QTemporaryDir directory;
    ASSERT_TRUE(directory.isValid());
    const QString notExecutable = directory.filePath("adb");
    QFile file(notExecutable);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\nexit 0\n");
    file.close();
    for (const QString& program : {directory.filePath("missing"), notExecutable}) {
        SCOPED_TRACE(program.toStdString());
        QProcess process;
        process.setProgram(program);
        EXPECT_THROW(blockingWait(runProcess(process)), ProcessLaunchError);
    }
}

TEST(AsyncProcess, CancellingWhileRunningTerminatesTheProcess) {
    QProcess process;
    prepareShell(process, "echo $$; exec sleep 1000");
    auto task = spawn(runProcess(process));
    processEventsUntil([&] { return process.canReadLine() || task.isFinished(); });
    const qint64 pid = process.readLine().trimmed().toLongLong();
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(processExists(pid));

    task.cancel();
    EXPECT_THROW(blockingWait(task), CancelledError);
    EXPECT_EQ(process.state(), QProcess::NotRunning);
    EXPECT_EQ(process.exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(process.exitCode(), SIGTERM);
    EXPECT_FALSE(processExists(pid));
}

TEST(AsyncProcess, CancellingWhileTheProcessIsStartingTerminatesItOnceItRuns) {
    QTemporaryDir directory;
    ASSERT_TRUE(directory.isValid());
    const QString pidFile = directory.filePath("pid");
    QProcess process;
    prepareShell(process, QString("echo $$ > '%1'; exec sleep 1000").arg(pidFile));
    auto task = spawn(runProcess(process));
    ASSERT_EQ(process.state(), QProcess::Starting);

    task.cancel();
    EXPECT_THROW(blockingWait(task), CancelledError);
    EXPECT_EQ(process.state(), QProcess::NotRunning);
    QFile written(pidFile);
    if (written.open(QIODevice::ReadOnly)) {
        EXPECT_FALSE(processExists(written.readAll().trimmed().toLongLong()));
    }
}

TEST(AsyncProcess, AnAlreadyCancelledTaskStartsNoProcess) {
    OneShotWaiters<> gate;
    QProcess process;
    prepareShell(process, "exit 0");
    bool started = false;
    QObject::connect(&process, &QProcess::started, [&] { started = true; });
    auto task = spawn([&]() -> Task<void> {
        try {
            co_await gate.wait(QUuid::createUuid());
        } catch (const CancelledError&) {
        }
        co_await runProcess(process);
    });
    task.cancel();
    EXPECT_THROW(blockingWait(task), CancelledError);
    QCoreApplication::processEvents();
    EXPECT_FALSE(started);
    EXPECT_EQ(process.processId(), 0);
}

TEST(AsyncProcess, CancellingAParentReachesTheProcessItAwaitsDeepDown) {
    QProcess process;
    prepareShell(process, "echo $$; exec sleep 1000");
    std::function<Task<void>(int)> nested = [&](int depth) -> Task<void> {
        if (depth == 0) {
            co_await runProcess(process);
        } else {
            co_await nested(depth - 1);
        }
    };
    auto task = spawn(nested(5));
    processEventsUntil([&] { return process.canReadLine() || task.isFinished(); });
    const qint64 pid = process.readLine().trimmed().toLongLong();
    ASSERT_GT(pid, 0);
    task.cancel();
    EXPECT_THROW(blockingWait(task), CancelledError);
    EXPECT_FALSE(processExists(pid));
}
