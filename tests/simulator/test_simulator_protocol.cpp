// The simulator's text and packet parsers: service names, shell packets, control commands,
// command-line options, and the fault arithmetic of the transfer budget.
#include "ControlCommand.h"
#include "DeviceServices.h"
#include "FaultState.h"
#include "ShellPacket.h"
#include "SimulatorOptions.h"

#include <gtest/gtest.h>

using namespace devicesim;

namespace {

struct ServiceCase {
    const char* reason;
    const char* destination;
    bool known;
    ServiceRequest::Kind kind;
    bool packetProtocol;
    bool terminal;
    const char* terminalType;
    const char* command;
};

// Test names show the reason rather than the bytes of the case.
void PrintTo(const ServiceCase& c, std::ostream* out) {
    *out << c.reason;
}

class ServiceRequestTest : public testing::TestWithParam<ServiceCase> {};

TEST_P(ServiceRequestTest, ParsesDestination) {
    const auto& c = GetParam();
    const auto request = parseServiceRequest(c.destination);
    ASSERT_EQ(request.has_value(), c.known) << c.reason;
    if (!request) {
        return;
    }
    EXPECT_EQ(request->kind, c.kind) << c.reason;
    EXPECT_EQ(request->packetProtocol, c.packetProtocol) << c.reason;
    EXPECT_EQ(request->terminal, c.terminal) << c.reason;
    EXPECT_EQ(request->terminalType, c.terminalType) << c.reason;
    EXPECT_EQ(request->command, c.command) << c.reason;
}

using Kind = ServiceRequest::Kind;
INSTANTIATE_TEST_SUITE_P(
    Destinations, ServiceRequestTest,
    testing::Values(
        ServiceCase{"v1 command runs without a terminal", "shell:ls -l", true, Kind::shell, false,
                    false, "", "ls -l"},
        ServiceCase{"v1 without command is an interactive terminal", "shell:", true, Kind::shell,
                    false, true, "", ""},
        ServiceCase{"v2 raw command", "shell,v2,raw:echo a", true, Kind::shell, true, false, "",
                    "echo a"},
        ServiceCase{"v2 terminal with its type", "shell,v2,TERM=xterm-256color,pty:", true,
                    Kind::shell, true, true, "xterm-256color", ""},
        ServiceCase{"colons after the first belong to the command", "shell,v2,raw:a:b:c", true,
                    Kind::shell, true, false, "", "a:b:c"},
        ServiceCase{"exec keeps the command whole", "exec:cat '/sdcard/a b'", true, Kind::exec,
                    false, false, "", "cat '/sdcard/a b'"},
        ServiceCase{"sync", "sync:", true, Kind::sync, false, false, "", ""},
        ServiceCase{"sync takes no argument", "sync:x", false, Kind::sync, false, false, "", ""},
        ServiceCase{"a longer name is not shell", "shellx:ls", false, Kind::shell, false, false, "",
                    ""},
        ServiceCase{"unsupported services are refused", "reboot:", false, Kind::shell, false, false,
                    "", ""},
        ServiceCase{"no colon at all", "shell", false, Kind::shell, false, false, "", ""}));

TEST(ShellPacketReaderTest, ReassemblesPacketsSplitAndJoinedAnywhere) {
    const std::string stream = encodeShellPacket(ShellPacketId::standardInput, "hello") +
                               encodeShellPacket(ShellPacketId::closeInput, "") +
                               encodeShellPacket(ShellPacketId::windowSize, "24x80,0x0");
    // Fed one byte at a time, all at once, and in two uneven halves.
    for (size_t step : {size_t{1}, stream.size(), size_t{7}}) {
        ShellPacketReader reader;
        std::vector<ShellPacket> packets;
        for (size_t at = 0; at < stream.size(); at += step) {
            reader.append(std::string_view(stream).substr(at, step));
            while (auto packet = reader.next()) {
                packets.push_back(*packet);
            }
        }
        ASSERT_EQ(packets.size(), 3u) << "step " << step;
        EXPECT_EQ(packets[0].id, ShellPacketId::standardInput);
        EXPECT_EQ(packets[0].data, "hello");
        EXPECT_EQ(packets[1].id, ShellPacketId::closeInput);
        EXPECT_EQ(packets[1].data, "");
        EXPECT_EQ(packets[2].data, "24x80,0x0");
    }
}

TEST(ShellPacketTest, EncodesIdAndLittleEndianLength) {
    const std::string packet = encodeShellPacket(ShellPacketId::exitStatus, std::string(1, '\x7f'));
    EXPECT_EQ(packet, std::string("\x03\x01\x00\x00\x00\x7f", 6));
}

struct ControlCase {
    const char* line;
    bool valid;
    ControlCommand::Kind kind;
    bool enabled;
    std::optional<uint64_t> amount;
    uint64_t total;
};

void PrintTo(const ControlCase& c, std::ostream* out) {
    *out << '"';
    for (const char* p = c.line; *p; ++p) {
        *out << (*p == '\r' ? "\\r" : *p == '\n' ? "\\n" : std::string(1, *p));
    }
    *out << '"';
}

class ControlCommandTest : public testing::TestWithParam<ControlCase> {};

TEST_P(ControlCommandTest, Parses) {
    const auto& c = GetParam();
    const auto parsed = parseControlCommand(c.line);
    ASSERT_EQ(parsed.command.has_value(), c.valid) << c.line << ": " << parsed.error;
    if (!parsed.command) {
        EXPECT_FALSE(parsed.error.empty()) << c.line;
        return;
    }
    EXPECT_EQ(parsed.command->kind, c.kind) << c.line;
    EXPECT_EQ(parsed.command->enabled, c.enabled) << c.line;
    EXPECT_EQ(parsed.command->amount, c.amount) << c.line;
    EXPECT_EQ(parsed.command->total, c.total) << c.line;
}

using CK = ControlCommand::Kind;
constexpr auto none = std::nullopt;
INSTANTIATE_TEST_SUITE_P(
    Lines, ControlCommandTest,
    testing::Values(ControlCase{"auth refuse", true, CK::authorisation, true, none, 0},
                    ControlCase{"auth accept", true, CK::authorisation, false, none, 0},
                    ControlCase{"drop", true, CK::dropNow, false, none, 0},
                    ControlCase{"drop after 1048576", true, CK::dropAfter, false, 1048576, 0},
                    ControlCase{"drop cancel", true, CK::dropAfter, false, none, 0},
                    ControlCase{"silent on", true, CK::silence, true, none, 0},
                    ControlCase{"  silent   off \r\n", true, CK::silence, false, none, 0},
                    ControlCase{"rate 250000", true, CK::rate, false, 250000, 0},
                    ControlCase{"rate off", true, CK::rate, false, none, 0},
                    ControlCase{"battery 0", true, CK::batteryLevel, false, 0, 0},
                    ControlCase{"battery 100", true, CK::batteryLevel, false, 100, 0},
                    ControlCase{"charging on", true, CK::charging, true, none, 0},
                    ControlCase{"df 1024 4096", true, CK::storage, false, 1024, 4096},
                    ControlCase{"df 5000000000 9000000000", true, CK::storage, false, 5000000000ULL,
                                9000000000ULL},
                    ControlCase{"df off", true, CK::storage, false, none, 0},
                    // Refused:
                    ControlCase{"", false, CK::dropNow, false, none, 0},
                    ControlCase{"reboot", false, CK::dropNow, false, none, 0},
                    ControlCase{"auth maybe", false, CK::dropNow, false, none, 0},
                    ControlCase{"drop after", false, CK::dropNow, false, none, 0},
                    ControlCase{"drop after -5", false, CK::dropNow, false, none, 0},
                    ControlCase{"drop after 12kB", false, CK::dropNow, false, none, 0},
                    ControlCase{"rate 0", false, CK::dropNow, false, none, 0},
                    ControlCase{"battery 101", false, CK::dropNow, false, none, 0},
                    ControlCase{"battery", false, CK::dropNow, false, none, 0},
                    ControlCase{"charging yes", false, CK::dropNow, false, none, 0},
                    ControlCase{"df 4096 1024", false, CK::dropNow, false, none, 0},
                    ControlCase{"df 1 99999999999999999999", false, CK::dropNow, false, none, 0},
                    ControlCase{"silent on now", false, CK::dropNow, false, none, 0}));

struct OptionsCase {
    const char* reason;
    std::vector<std::string> arguments;
    bool valid;
};

void PrintTo(const OptionsCase& c, std::ostream* out) {
    *out << c.reason;
}

class SimulatorOptionsTest : public testing::TestWithParam<OptionsCase> {};

TEST_P(SimulatorOptionsTest, AcceptsOrExplains) {
    const auto& c = GetParam();
    const auto parsed = parseOptions(c.arguments);
    EXPECT_EQ(parsed.options.has_value(), c.valid) << c.reason << ": " << parsed.error;
    EXPECT_EQ(parsed.error.empty(), c.valid) << c.reason;
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, SimulatorOptionsTest,
    testing::Values(
        OptionsCase{"minimal", {"--root", "/r", "--port", "0"}, true},
        OptionsCase{"everything",
                    {"--root", "/r", "--port", "5555", "--model", "Pixel 7", "--android", "13",
                     "--battery", "40", "--charging", "--control", "/c", "--fault", "rate 1000"},
                    true},
        OptionsCase{"sending needs no root", {"--control", "/c", "--send", "drop"}, true},
        OptionsCase{"root missing", {"--port", "1"}, false},
        OptionsCase{"port missing", {"--root", "/r"}, false},
        OptionsCase{"port out of range", {"--root", "/r", "--port", "65536"}, false},
        OptionsCase{
            "battery out of range", {"--root", "/r", "--port", "1", "--battery", "-1"}, false},
        OptionsCase{"model would break the banner",
                    {"--root", "/r", "--port", "1", "--model", "a;b"},
                    false},
        OptionsCase{
            "model with a line break", {"--root", "/r", "--port", "1", "--model", "a\nb"}, false},
        OptionsCase{"bad fault is caught at start",
                    {"--root", "/r", "--port", "1", "--fault", "battery 500"},
                    false},
        OptionsCase{"value missing", {"--root", "/r", "--port"}, false},
        OptionsCase{"unknown option", {"--root", "/r", "--port", "1", "--colour", "red"}, false},
        OptionsCase{"send without control", {"--send", "drop"}, false}));

TEST(SimulatorOptionsTest, KeepsValuesAndDefaults) {
    const auto parsed = parseOptions({"--root", "/r", "--port", "5555", "--model", "Pixel 7"});
    ASSERT_TRUE(parsed.options);
    EXPECT_EQ(parsed.options->root, "/r");
    EXPECT_EQ(parsed.options->port, 5555);
    EXPECT_EQ(parsed.options->model, "Pixel 7");
    EXPECT_EQ(parsed.options->androidVersion, "14");
    EXPECT_FALSE(parsed.options->charging);
}

TEST(FaultStateTest, DropBudgetLetsExactlyTheRemainingBytesPass) {
    FaultState faults;
    const auto never = [] { return false; };
    faults.setDropAfter(1000);
    auto first = faults.pass(600, never);
    EXPECT_EQ(first.bytes, 600u);
    EXPECT_FALSE(first.dropAfterwards);
    auto second = faults.pass(600, never);
    EXPECT_EQ(second.bytes, 400u);
    EXPECT_TRUE(second.dropAfterwards);
    // Spent: later data passes freely until a new budget is set.
    auto third = faults.pass(600, never);
    EXPECT_EQ(third.bytes, 600u);
    EXPECT_FALSE(third.dropAfterwards);
    faults.setDropAfter(10);
    faults.setDropAfter(std::nullopt);
    EXPECT_FALSE(faults.pass(600, never).dropAfterwards);
}

TEST(FaultStateTest, SlowRateCutsDataIntoSmallPieces) {
    FaultState faults;
    EXPECT_EQ(faults.chunkLimit(1 << 20), size_t{1} << 20);
    faults.setRate(100000);
    EXPECT_EQ(faults.chunkLimit(1 << 20), 10000u);
    faults.setRate(100);
    EXPECT_EQ(faults.chunkLimit(1 << 20), 512u);
    faults.setRate(std::nullopt);
    EXPECT_EQ(faults.chunkLimit(4096), 4096u);
}

TEST(FaultStateTest, SilenceHoldsWaitersUntilAbandoned) {
    FaultState faults;
    EXPECT_TRUE(faults.waitUntilAudible([] { return false; }));
    faults.setSilent(true);
    int checks = 0;
    EXPECT_FALSE(faults.waitUntilAudible([&] { return ++checks > 2; }));
    faults.setSilent(false);
    EXPECT_TRUE(faults.waitUntilAudible([] { return true; }));
}

} // namespace
