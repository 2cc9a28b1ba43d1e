// The simulator on a real pseudo-terminal, reached through the program's own
// transport.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "link/explicit_ports.h"
#include "link/serial_port.h"
#include "meter_replies.h"
#include "sim_fixture.h"

extern char** environ;

namespace lmv {
namespace {

using namespace std::chrono_literals;
namespace replies = sim::replies;

struct Exchange {
  LinkResult result;
  std::string text;
  bool operator==(const Exchange&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Exchange& e) {
  return out << "{" << e.result << ", \"" << e.text << "\"}";
}

class SimulatorTest : public ::testing::Test {
 protected:
  static sim::MeterConfig config() {
    sim::MeterConfig c;
    c.source = sim::IlluminanceSource::constant(1234);
    c.zeroAdjustTime = 300ms;
    return c;
  }

  void SetUp() override {
    port.configure(19200);
    ASSERT_TRUE(port.open(meter.portNumber()));
  }

  Exchange ask(std::string_view command, size_t capacity = 32) {
    if (!port.writeLine(command)) return {SendFailed, ""};
    return read(capacity);
  }
  Exchange read(size_t capacity = 32) {
    std::vector<char> buffer(capacity);
    LinkResult r = port.readLine(buffer.data(), buffer.size());
    return {r, buffer.data()};
  }
  std::string readBytes(size_t count) {
    std::string bytes;
    for (size_t i = 0; i < count; ++i) {
      uint8_t b = 0;
      if (port.readByte(b) != LineReceived) break;
      bytes.push_back(static_cast<char>(b));
    }
    return bytes;
  }

  test::SimulatedMeter meter{config()};
  SerialPort port;
};

TEST_F(SimulatorTest, AnswersAsTheMeterDoes) {
  EXPECT_EQ(ask("QPID", 72), (Exchange{LineReceived, "LX5810"}));
  EXPECT_EQ(ask("QPID", 72), (Exchange{LineReceived, "LX5810"}));
  EXPECT_EQ(ask("*IDN?", 72), (Exchange{LineReceived, std::string(replies::kExampleIdentification)}));
  EXPECT_EQ(ask(":SYST:INIT"), (Exchange{LineReceived, "OK"}));
  EXPECT_EQ(ask(":SYST:LLO"), (Exchange{LineReceived, "OK"}));
  EXPECT_EQ(ask(":STAT?"), (Exchange{LineReceived, std::string(replies::kExampleStatusLuxAuto)}));
  EXPECT_EQ(ask(":MEASCNTDISP?"), (Exchange{LineReceived, std::string(replies::kExampleMeasurement)}));
  EXPECT_EQ(ask(":SYST:RANGE?"), (Exchange{LineReceived, "2k"}));
  EXPECT_EQ(ask(":SYST:RANGE 20"), (Exchange{LineReceived, "OK"}));
  EXPECT_EQ(ask(":MEASCNTDISP?"), (Exchange{LineReceived, std::string(replies::kExampleOverRange)}));
  EXPECT_EQ(ask(":SYST:GTL"), (Exchange{LineReceived, "OK"}));
  EXPECT_TRUE(meter.simulator().withMeter([](sim::MeterModel& m) { return !m.localLockout(); }));
  EXPECT_EQ(meter.simulator().commandLog(),
            (std::vector<std::string>{"QPID", "QPID", "*IDN?", ":SYST:INIT", ":SYST:LLO", ":STAT?", ":MEASCNTDISP?",
                                      ":SYST:RANGE?", ":SYST:RANGE 20", ":MEASCNTDISP?", ":SYST:GTL"}));
}

TEST_F(SimulatorTest, SettingsChangeWhileItRuns) {
  meter.simulator().withMeter([](sim::MeterModel& m) {
    m.config().sensorConnected = false;
    m.config().buzzer = true;
  });
  EXPECT_EQ(ask(":STAT?"), (Exchange{LineReceived, "010010000000"}));
}

TEST_F(SimulatorTest, AnswersOnlyAtItsOwnBaudRate) {
  meter.simulator().withMeter([](sim::MeterModel& m) { m.config().baud = 9600; });
  EXPECT_EQ(ask("QPID", 72).result, LinkTimeout);
  port.configure(9600);
  ASSERT_TRUE(port.open(meter.portNumber()));
  EXPECT_EQ(ask("QPID", 72), (Exchange{LineReceived, "LX5810"}));
  EXPECT_EQ(meter.simulator().commandLog(), (std::vector<std::string>{"QPID", "QPID"}));
}

TEST_F(SimulatorTest, SendsMemoryAsRawBytes) {
  meter.simulator().withMeter([](sim::MeterModel& m) {
    m.setSlot(3, sim::MemoryRecord{0, 2, 1234, 0});
    m.setSlot(7, sim::MemoryRecord{0, 0, -5, 0});
  });
  ASSERT_TRUE(port.writeLine(":MEM:CHECK?"));
  std::string check = readBytes(13);
  ASSERT_EQ(check.size(), 13u);
  EXPECT_EQ(static_cast<uint8_t>(check[0]), 0xBB);
  ASSERT_TRUE(port.writeLine(":MEM:DATA? 7"));
  EXPECT_EQ(readBytes(16), std::string("\x00\x00\xFB\xFF", 4) + std::string(12, '\0'));
  // Nothing more follows a raw reply.
  EXPECT_EQ(ask(":SYST:RANGE?"), (Exchange{LineReceived, "2k"}));
}

TEST_F(SimulatorTest, RepliesInTheOrderOfTheCommands) {
  ASSERT_TRUE(port.writeLine(":0ADJUST"));  // takes 300 ms
  ASSERT_TRUE(port.writeLine(":STAT?"));
  EXPECT_EQ(read(), (Exchange{LineReceived, "OK"}));
  EXPECT_EQ(read(), (Exchange{LineReceived, std::string(replies::kExampleStatusLuxAuto)}));
  meter.simulator().withMeter([](sim::MeterModel& m) { m.config().capOn = false; });
  EXPECT_EQ(ask(":0ADJUST"), (Exchange{LineReceived, std::string(replies::kZeroAdjustRefused)}));
}

struct FaultCase {
  const char* name;
  const char* fault;
  const char* command;
  size_t capacity;
  std::vector<Exchange> expected;  // the reply, then what the next receives get
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.name; }

class SimulatorFaults : public SimulatorTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(SimulatorFaults, MakeTheTransportSeeWhatABadLineGives) {
  const FaultCase& c = GetParam();
  std::string error;
  auto fault = sim::parseFault(c.fault, &error);
  ASSERT_TRUE(fault) << error;
  meter.simulator().addFault(*fault);
  ASSERT_TRUE(port.writeLine(c.command));
  for (const auto& expected : c.expected) EXPECT_EQ(read(c.capacity), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SimulatorFaults,
    ::testing::Values(
        FaultCase{"NoReply", "noreply@QPID", "QPID", 72, {{LinkTimeout, ""}}},
        FaultCase{"TooLate", "late=2500@QPID", "QPID", 72, {{LinkTimeout, ""}}},
        FaultCase{"LateButInTime", "late=300@QPID", "QPID", 72, {{LineReceived, "LX5810"}}},
        FaultCase{"Garbage", "garbage=6@QPID", "QPID", 72, {{LineReceived, "\xFF\x80?\xFE\x9A"}}},
        FaultCase{"Overlong",
                  "overlong=40@:STAT?",
                  ":STAT?",
                  32,
                  {{LineOverflow, "000010010000###################"}, {LineReceived, "#########"}}},
        FaultCase{"CommandError", "cmderr@:MEASCNTDISP?", ":MEASCNTDISP?", 32, {{LineReceived, "CMD ERR"}}},
        FaultCase{"MissingLineEnd", "missingbyte@:SYST:RANGE?", ":SYST:RANGE?", 32, {{LinkTimeout, "2k"}}},
        FaultCase{"HangUp", "hangup@QPID", "QPID", 72, {{LinkError, ""}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimulatorTest, FaultsRunOutAfterTheirCount) {
  meter.simulator().addFault(*sim::parseFault("cmderr@:STAT?#1", nullptr));
  EXPECT_EQ(ask(":STAT?"), (Exchange{LineReceived, "CMD ERR"}));
  EXPECT_EQ(ask(":STAT?"), (Exchange{LineReceived, std::string(replies::kExampleStatusLuxAuto)}));
}

TEST_F(SimulatorTest, AMissingRawByteRunsIntoTheTimeLimit) {
  meter.simulator().addFault(*sim::parseFault("missingbyte=3@:MEM:DATA?", nullptr));
  ASSERT_TRUE(port.writeLine(":MEM:DATA? 1"));
  EXPECT_EQ(readBytes(16).size(), 15u);
  EXPECT_FALSE(port.isOpen());
}

TEST_F(SimulatorTest, AHangUpMakesTheDeviceVanish) {
  std::string path = meter.path();
  meter.simulator().hangUp();
  EXPECT_TRUE(meter.simulator().hungUp());
  EXPECT_FALSE(port.writeLine("QPID"));
  EXPECT_EQ(read().result, LinkError);
  EXPECT_FALSE(port.open(meter.portNumber()));
  EXPECT_NE(::access(path.c_str(), F_OK), 0);
}

TEST(SimulatorTerminal, ALoneCarriageReturnEndsACommand) {
  test::SimulatedMeter meter;
  // As a terminal program sends Enter: no LF.
  int fd = ::open(meter.path().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, "QPID\r", 5), 5);
  std::string reply;
  while (reply.find('\n') == std::string::npos) {
    pollfd p{fd, POLLIN, 0};
    ASSERT_GT(::poll(&p, 1, 5000), 0) << "no reply";
    char buffer[64];
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    ASSERT_GT(n, 0);
    reply.append(buffer, static_cast<size_t>(n));
  }
  EXPECT_EQ(reply, "LX5810\r\n");
  ::close(fd);
}

TEST(SimulatorTerminal, LinksThePathWhileItRuns) {
  auto dir = std::filesystem::temp_directory_path() / ("lmv-sim-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  auto link = dir / "lx5810";
  {
    sim::Simulator simulator;
    simulator.setLinkPath(link.string());
    std::string error;
    ASSERT_TRUE(simulator.start(&error)) << error;
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), simulator.slavePath());
    int number = ExplicitPorts::instance().add(link.string());
    SerialPort port;
    ASSERT_TRUE(port.open(number));
    ASSERT_TRUE(port.writeLine("QPID"));
    char buffer[72];
    EXPECT_EQ(port.readLine(buffer, sizeof buffer), LineReceived);
    EXPECT_STREQ(buffer, "LX5810");
    ExplicitPorts::instance().remove(link.string());
    simulator.stop();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
  }
  {
    std::ofstream(link) << "not a link";
    sim::Simulator simulator;
    simulator.setLinkPath(link.string());
    std::string error;
    EXPECT_FALSE(simulator.start(&error));
    EXPECT_EQ(error, link.string() + " exists and is not a symbolic link");
    EXPECT_TRUE(std::filesystem::is_regular_file(link));
  }
  std::filesystem::remove_all(dir);
}

// The lumetrevisor-sim program: prints its terminal, answers there, leaves
// on SIGTERM and removes its link.
TEST(SimulatorProgram, RunsUntilTerminated) {
  const std::string program = LMV_BINARY_DIR "/src/sim/lumetrevisor-sim";
  if (::access(program.c_str(), X_OK) != 0) GTEST_SKIP() << program << " is not built";
  auto link = std::filesystem::temp_directory_path() / ("lmv-sim-link-" + std::to_string(getpid()));
  int out[2];
  ASSERT_EQ(::pipe(out), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  std::vector<std::string> args = {program, "--baud", "9600", "--model", "LX5811", "--link", link.string()};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);

  std::string printed;
  char c;
  while (::read(out[0], &c, 1) == 1 && c != '\n') printed.push_back(c);
  ::close(out[0]);
  EXPECT_TRUE(printed.starts_with("/dev/pts/")) << printed;
  EXPECT_EQ(std::filesystem::read_symlink(link).string(), printed);

  int number = ExplicitPorts::instance().add(link.string());
  SerialPort port;
  port.configure(9600);
  ASSERT_TRUE(port.open(number));
  ASSERT_TRUE(port.writeLine("QPID"));
  char buffer[72];
  EXPECT_EQ(port.readLine(buffer, sizeof buffer), LineReceived);
  EXPECT_STREQ(buffer, "LX5811");
  port.close();
  ExplicitPorts::instance().remove(link.string());

  ASSERT_EQ(::kill(pid, SIGTERM), 0);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

}  // namespace
}  // namespace lmv
