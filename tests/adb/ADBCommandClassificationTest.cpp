// The command category and the standard-error classification of diagnostic events.
#include "ADBCommandClassification.h"

#include <gtest/gtest.h>

TEST(ADBCommandCategory, FollowsTheSubcommandAndTheFirstListedWordOfAShellCommand) {
    struct Case {
        QStringList arguments;
        QString category;
    };
    const Case cases[] = {
        {{"-s", "X", "shell", "stat -c '%s' '/sdcard/a'"}, "shell.stat"},
        // Substring search in list order: "stats.txt" holds "stat", found before "rm".
        {{"-s", "X", "shell", "rm -f '/sdcard/stats.txt'"}, "shell.stat"},
        {{"-s", "X", "shell", "rm -rf '/sdcard/Old'"}, "shell.rm"},
        {{"devices", "-l"}, "devices"},
        {{"connect", "192.168.1.5:5555"}, "connect"},
        {{"disconnect", "192.168.1.5:5555"}, "disconnect"},
        {{"-s", "X", "push", "/home/u/a.jpg", "/sdcard/a.jpg"}, "push"},
        {{"-s", "X", "pull", "/sdcard/a.jpg", "/home/u/a.jpg"}, "pull"},
        {{"-s", "X", "exec-out", "head -c 65536 '/sdcard/a.jpg'"}, "exec-out.head"},
        {{"-s", "X", "shell", "getprop ro.product.model; df -k /sdcard"}, "shell.getprop"},
        {{"-s", "X", "shell", "dumpsys battery"}, "shell.dumpsys"},
        {{"-s", "X", "shell", "df -k '/sdcard'"}, "shell.df"},
        {{"-s", "X", "shell", "test -d '/sdcard/DCIM'"}, "shell.test"},
        {{"-s", "X", "shell", "mkdir -p '/sdcard/New'"}, "shell.mkdir"},
        {{"-s", "X", "shell", "mv '/sdcard/a' '/sdcard/b'"}, "shell.mv"},
        {{"-s", "X", "shell", "find '/sdcard/A' -mindepth 1"}, "shell.find"},
        {{"-s", "X", "shell", "du -sk '/sdcard/A'"}, "shell.du"},
        {{"-s", "X", "shell", "printf x"}, "shell.printf"},
        {{"-s", "X", "shell", "cat '/sdcard/a'"}, "shell.cat"},
        {{"-s", "X", "shell", "ls '/sdcard'"}, "shell.ls"},
        {{"-s", "X", "shell", "content call --uri content://media"}, "shell.other"},
        // The command text may come in several arguments; they are joined with spaces.
        {{"shell", "mk", "dir"}, "shell.other"},
        {{"shell", "te", "st"}, "shell.other"},
        {{"shell", "getprop", "ro.build.version.release"}, "shell.getprop"},
        {{"shell"}, "shell.other"},
        {{"exec-out"}, "exec-out.other"},
        {{}, "unknown"},
        {{"-s", "X"}, "unknown"},
        {{"-s"}, "-s"},
        {{"-s", "X", "-s", "Y", "devices"}, "-s"},
        {{"start-server"}, "start-server"},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.arguments.join(" | ").toStdString());
        EXPECT_EQ(adbCommandCategory(testCase.arguments), testCase.category);
    }
}

TEST(ADBErrorClassification, TakesTheFirstMatchingPatternInAnyLetterCase) {
    struct Case {
        QByteArray errorData;
        QString classification;
    };
    const Case cases[] = {
        {"", "none"},
        {"error: device unauthorized.\n", "unauthorized"},
        {"ERROR: DEVICE UNAUTHORIZED", "unauthorized"},
        {"error: device offline", "offline"},
        {"error: device 'X' not found", "not_found"},
        {"error: no devices/emulators found", "not_found"},
        {"adb: error: no devices", "not_found"},
        {"error: closed", "closed"},
        {"error: transport error", "transport"},
        {"Connection reset by peer", "transport"},
        {"write failed: Broken pipe", "transport"},
        {"* daemon not running; starting now at tcp:5037", "daemon"},
        {"cannot connect to daemon", "daemon"},
        {"mkdir: '/sdcard/x': Permission denied", "permission_denied"},
        {"adb: error: write failed: No space left on device", "no_space"},
        // The earlier pattern wins when several occur.
        {"device offline; no devices found", "offline"},
        {"no devices found; connection closed", "not_found"},
        {"something unexpected", "other"},
        {"\n", "other"},
        {"УСТРОЙСТВО unauthorized", "unauthorized"},
        // Bytes that are not UTF-8 count as no text at all.
        {QByteArray("unauthorized \xff\xfe"), "none"},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.errorData.toStdString());
        EXPECT_EQ(adbErrorClassification(testCase.errorData), testCase.classification);
    }
}
