// Resolving Contents/Helpers/adb of a bundle: only an executable file counts.
#include "ADBExecutableResolver.h"
#include "FakeBundle.h"

#include <QDir>

#include <gtest/gtest.h>

#include <functional>

TEST(ADBExecutableResolver, AcceptsOnlyAnExecutableFileAtHelpersAdb) {
    struct Case {
        const char* name;
        std::function<void(const FakeBundle&)> prepare;
        bool resolves;
    };
    const Case cases[] = {
        {"executable file", [](const FakeBundle& b) { b.writeExecutable("#!/bin/sh\n"); }, true},
        {"missing file", [](const FakeBundle&) {}, false},
        {"file without execute permission",
         [](const FakeBundle& b) { b.writeExecutable("#!/bin/sh\n", false); }, false},
        {"directory in its place",
         [](const FakeBundle& b) { QDir().mkpath(b.path() + "/Contents/Helpers/adb"); }, false},
        {"adb elsewhere in the bundle",
         [](const FakeBundle& b) { b.writeFile("Contents/MacOS/adb", "#!/bin/sh\n"); }, false},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        FakeBundle bundle;
        testCase.prepare(bundle);
        const auto resolved = ADBExecutableResolver(bundle.bundle()).resolveExecutable();
        if (testCase.resolves) {
            ASSERT_TRUE(resolved.has_value());
            EXPECT_EQ(*resolved, bundle.path() + "/Contents/Helpers/adb");
        } else {
            EXPECT_FALSE(resolved.has_value());
        }
    }
}
