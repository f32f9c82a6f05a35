// pavrel-sample-phone --output DIR: writes the demo phone's shared storage into DIR, unless
// DIR already holds what this very generator writes.
#include "GeneratedFolder.h"
#include "SamplePhone.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    // Pictures are painted off screen; no display is needed or wanted.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Writes the sample phone's content for the demo.");
    parser.addHelpOption();
    const QCommandLineOption output("output", "The folder to write the phone's storage into.",
                                    "DIR");
    parser.addOption(output);
    parser.process(application);
    if (!parser.isSet(output)) {
        std::fputs("pavrel-sample-phone: --output DIR is required\n", stderr);
        return 2;
    }

    try {
        const GeneratedFolder folder(parser.value(output), executableFingerprint());
        if (folder.isUpToDate()) {
            return 0;
        }
        writeSamplePhone(SampleTree(folder.beginWriting()));
        folder.finishWriting();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "pavrel-sample-phone: %s\n", error.what());
        return 1;
    }
    return 0;
}
