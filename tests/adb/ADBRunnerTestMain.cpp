// Runs the runner tests inside a QCoreApplication, with the diagnostic log written into a
// temporary home so that the tests can read the events of their runs.
#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    QTemporaryDir home;
    if (!home.isValid()) {
        return 1;
    }
    ::setenv("XDG_DATA_HOME", qPrintable(home.filePath("data")), 1);
    ::setenv("XDG_CACHE_HOME", qPrintable(home.filePath("cache")), 1);
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
