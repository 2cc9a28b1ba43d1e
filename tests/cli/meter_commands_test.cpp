// lumetrevisor-cli identify, monitor and zero against the simulated meter:
// what they print, their exit status, and that the meter is always given
// back to local operation (":SYST:GTL" last) however the command ends.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "cli_process.h"
#include "sim_fixture.h"

namespace lmv::test {
namespace {

using Strings = std::vector<std::string>;

sim::MeterConfig steadyMeter() {
  sim::MeterConfig config;
  config.range = 3;
  config.source = sim::IlluminanceSource::constant(1234);
  config.zeroAdjustTime = std::chrono::milliseconds(100);
  return config;
}

std::string lastCommand(SimulatedMeter& meter) {
  const Strings log = meter.simulator().commandLog();
  return log.empty() ? std::string() : log.back();
}

Strings lines(CliProcess& cli) {
  Strings out;
  while (auto line = cli.readLine()) out.push_back(*line);
  return out;
}

struct RunCase {
  const char* name;
  Strings args;  // after the command's --port
  std::function<void(sim::MeterConfig&)> configure;
  const char* fault;  // a command the meter does not answer
  int exitCode;
  Strings out;            // exact lines; empty: see outPattern
  const char* outPattern;  // every line matches, when set
  size_t outLines;
  const char* err;  // contained in standard error
  bool releasesMeter;  // ":SYST:GTL" is the last command the meter got
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

class MeterCommand : public ::testing::TestWithParam<RunCase> {};

TEST_P(MeterCommand, PrintsExitsAndReleasesTheMeter) {
  const RunCase& c = GetParam();
  sim::MeterConfig config = steadyMeter();
  if (c.configure) c.configure(config);
  SimulatedMeter meter(config);
  if (c.fault) meter.simulator().addFault(sim::Fault{sim::FaultKind::NoReply, c.fault, -1, -1});
  Strings args{c.args.front(), "--port", meter.path()};
  args.insert(args.end(), c.args.begin() + 1, c.args.end());
  CliProcess cli(args);
  const Strings out = lines(cli);
  EXPECT_EQ(cli.wait(), c.exitCode) << cli.errorText();
  if (!c.out.empty()) {
    EXPECT_EQ(out, c.out);
  }
  if (c.outPattern) {
    EXPECT_EQ(out.size(), c.outLines);
    const std::regex pattern(c.outPattern);
    for (const std::string& line : out) EXPECT_TRUE(std::regex_match(line, pattern)) << line;
  }
  if (c.err) {
    EXPECT_NE(cli.errorText().find(c.err), std::string::npos) << cli.errorText();
  }
  if (c.releasesMeter) {
    EXPECT_EQ(lastCommand(meter), ":SYST:GTL");
  }
}

constexpr const char* kPassLine = R"(\d{4}/\d{2}/\d{2},\d{2}:\d{2}:\d{2}\t1234\tlx\t2000)";
constexpr const char* kNoResponse = "Communication Error. No response!";
constexpr const char* kCheckUsb = "Communication Error.\n\nCheck USB cable connection, \nor power supply of LX5810/LX5811.";

INSTANTIATE_TEST_SUITE_P(
    Simulator, MeterCommand,
    ::testing::Values(
        RunCase{"Identify", {"identify"}, {}, nullptr, 0, {"model=LX5810", "serial=10000123", "firmware=1.00", "baud=19200"},
                nullptr, 0, nullptr, false},
        RunCase{"IdentifySilentMeter", {"identify"}, {}, "QPID", 3, {}, nullptr, 0,
                kCheckUsb, false},
        RunCase{"MonitorCount", {"monitor", "--count", "3"}, {}, nullptr, 0, {}, kPassLine, 3, nullptr, true},
        RunCase{"MonitorFootCandle", {"monitor", "--count", "1"},
                [](sim::MeterConfig& c) { c.footCandle = true; }, nullptr, 0, {},
                R"(\d{4}/\d{2}/\d{2},\d{2}:\d{2}:\d{2}\t114\.7\tFC\t200)", 1, nullptr, true},
        RunCase{"MonitorInitNotAnswered", {"monitor", "--count", "1"}, {}, ":SYST:INIT", 3, {}, nullptr, 0, kNoResponse, false},
        RunCase{"MonitorLockoutNotAnswered", {"monitor", "--count", "1"},
                {}, ":SYST:LLO", 3, {}, nullptr, 0, kNoResponse, false},
        RunCase{"MonitorOldFirmware", {"monitor", "--count", "1"},
                [](sim::MeterConfig& c) { c.firmwareVersion = "0.23"; }, nullptr, 3, {}, nullptr, 0,
                "Version of the LX5810/LX5811 firmware is not compatible.", false},
        RunCase{"ZeroDone", {"zero"}, {}, nullptr, 0, {"zero=OK"}, nullptr, 0, nullptr, true},
        RunCase{"ZeroCapOff", {"zero"}, [](sim::MeterConfig& c) { c.capOn = false; }, nullptr, 3,
                {"zero=cap-not-fitted"}, nullptr, 0, "sensor cap", true},
        RunCase{"ZeroNotAnswered", {"zero"}, {}, ":0ADJUST", 3, {"zero=failed"},
                nullptr, 0, kCheckUsb, true}),
    [](const auto& info) { return std::string(info.param.name); });

// A monitor ended from outside: Ctrl-C, kill, the terminal closed, or the
// reader of its output gone (monitor | head -2). Each stops the monitor and
// gives the meter back before the program ends.
struct StopCase {
  const char* name;
  int signal;  // 0: the output is closed instead
  int exitCode;
};

void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }

class MonitorStop : public ::testing::TestWithParam<StopCase> {};

TEST_P(MonitorStop, ReleasesTheMeter) {
  const StopCase& c = GetParam();
  SimulatedMeter meter(steadyMeter());
  CliProcess cli({"monitor", "--port", meter.path()});
  for (int i = 0; i < 2; ++i) ASSERT_TRUE(cli.readLine()) << cli.errorText();
  if (c.signal != 0) {
    cli.signal(c.signal);
  } else {
    cli.closeOutput();
  }
  EXPECT_EQ(cli.wait(), c.exitCode) << cli.errorText();
  EXPECT_EQ(lastCommand(meter), ":SYST:GTL");
}

INSTANTIATE_TEST_SUITE_P(Signals, MonitorStop,
                         ::testing::Values(StopCase{"Interrupt", SIGINT, 0}, StopCase{"Terminate", SIGTERM, 0},
                                           StopCase{"HangUp", SIGHUP, 0}, StopCase{"OutputClosed", 0, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MonitorCommand, AMeterThatVanishesEndsItWithTheMessage) {
  SimulatedMeter meter(steadyMeter());
  CliProcess cli({"monitor", "--port", meter.path()});
  ASSERT_TRUE(cli.readLine()) << cli.errorText();
  meter.simulator().hangUp();
  EXPECT_EQ(cli.wait(), 3);
  EXPECT_NE(cli.errorText().find("Communication Error."), std::string::npos) << cli.errorText();
}

// A monitoring process killed outright leaves the terminal in exclusive
// mode; the next command still reaches the meter. Only root gets past that
// flag at all (an ordinary user's open is refused by the kernel).
TEST(MeterCommandAfterAKill, IdentifyReachesTheMeter) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root";
  SimulatedMeter meter(steadyMeter());
  {
    CliProcess monitor({"monitor", "--port", meter.path()});
    ASSERT_TRUE(monitor.readLine()) << monitor.errorText();
    monitor.signal(SIGKILL);
    EXPECT_EQ(monitor.wait(), -1 - SIGKILL);
  }
  CliProcess identify({"identify", "--port", meter.path()});
  EXPECT_EQ(lines(identify).front(), "model=LX5810");
  EXPECT_EQ(identify.wait(), 0) << identify.errorText();
}

}  // namespace
}  // namespace lmv::test
