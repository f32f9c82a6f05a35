// pavrel-device-sim: a simulated Android phone that the real adb reaches over 127.0.0.1.
#include "ControlServer.h"
#include "Simulator.h"
#include "SimulatorOptions.h"

#include <cstdio>

int main(int argc, char** argv) {
    using namespace devicesim;
    const auto parsed = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (parsed.helpRequested) {
        std::fputs(usageText().c_str(), stdout);
        return 0;
    }
    if (!parsed.options) {
        std::fprintf(stderr, "pavrel-device-sim: %s\n%s", parsed.error.c_str(),
                     usageText().c_str());
        return 2;
    }
    const SimulatorOptions& options = *parsed.options;
    if (options.commandToSend) {
        std::string answer;
        const bool accepted =
            sendControlCommand(options.controlPath, *options.commandToSend, answer);
        std::fprintf(accepted ? stdout : stderr, "%s\n", answer.c_str());
        return accepted ? 0 : 1;
    }
    return runSimulator(options);
}
