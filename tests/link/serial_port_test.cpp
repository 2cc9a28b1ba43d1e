// The transport against a real pseudo-terminal whose far side the test plays.
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <string>
#include <vector>

#include "link/serial_port.h"
#include "sim_fixture.h"

namespace lmv {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

TEST(SerialPortNumbers, OutOfRangeNumbersFailWithoutLookingForADevice) {
  std::vector<int32_t> resolved;
  SerialPort port([&](int32_t n) {
    resolved.push_back(n);
    return std::string("/nonexistent/lumetrevisor-test");
  });
  for (int32_t n : {0, -1, 257, 1000}) {
    EXPECT_FALSE(port.open(n)) << n;
  }
  EXPECT_TRUE(resolved.empty());
  // In range, the device is looked for (and is missing here).
  EXPECT_FALSE(port.open(256));
  EXPECT_FALSE(port.open(1));
  EXPECT_EQ(resolved, (std::vector<int32_t>{256, 1}));
  EXPECT_FALSE(port.isOpen());
}

TEST(SerialPortNumbers, ReceiveDeadlineIsTheSecondWholeSecondAfterTheStart) {
  struct Case {
    Clock::duration start;
    Clock::duration deadline;
  };
  const Case cases[] = {
      {10s, 12s},
      {10s + 1ms, 12s},
      {10s + 999ms, 12s},
      {11s, 13s},
  };
  for (const auto& c : cases) {
    auto deadline = receiveDeadline(Clock::time_point(c.start));
    EXPECT_EQ(deadline, Clock::time_point(c.deadline));
    // Between 1 and 2 seconds of waiting, whatever the start.
    EXPECT_GT(deadline - Clock::time_point(c.start), 1s);
    EXPECT_LE(deadline - Clock::time_point(c.start), 2s);
  }
}

class SerialPortOnPty : public ::testing::Test {
 protected:
  void SetUp() override {
    port.configure(19200);
    ASSERT_TRUE(port.open(peer.portNumber())) << peer.path();
  }

  test::PtyPeer peer;
  SerialPort port;
};

TEST_F(SerialPortOnPty, SetsTheLineUpRawAt8N1WithoutFlowControl) {
  for (int32_t baud : {9600, 19200}) {
    port.close();
    port.configure(baud);
    ASSERT_TRUE(port.open(peer.portNumber()));
    termios t{};
    ASSERT_TRUE(peer.lineSettings(t));
    EXPECT_EQ(cfgetospeed(&t), baud == 9600 ? B9600 : B19200);
    EXPECT_EQ(cfgetispeed(&t), baud == 9600 ? B9600 : B19200);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_NE(t.c_cflag & CREAD, 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | IXANY | ICRNL | INLCR | IGNCR), 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
  }
}

TEST_F(SerialPortOnPty, RefusesAnUnknownLineSpeed) {
  port.close();
  port.configure(12345);
  EXPECT_FALSE(port.open(peer.portNumber()));
  EXPECT_FALSE(port.isOpen());
}

TEST_F(SerialPortOnPty, SendsTheCommandWithCrLf) {
  EXPECT_TRUE(port.writeLine("QPID"));
  EXPECT_EQ(peer.receive(6), "QPID\r\n");
  EXPECT_TRUE(port.writeLine(":MEM:DATA? 12"));
  EXPECT_EQ(peer.receiveLine(), ":MEM:DATA? 12\r\n");
}

struct LineCase {
  const char* name;
  std::string sent;
  size_t capacity;
  std::vector<std::pair<LinkResult, std::string>> expected;  // successive receives
};

void PrintTo(const LineCase& c, std::ostream* out) { *out << c.name; }

class SerialPortLines : public SerialPortOnPty, public ::testing::WithParamInterface<LineCase> {};

TEST_P(SerialPortLines, DeliversLinesAsTheMeterEndsThem) {
  const LineCase& c = GetParam();
  peer.send(c.sent);
  for (const auto& [result, text] : c.expected) {
    std::vector<char> buffer(c.capacity, 'x');
    EXPECT_EQ(port.readLine(buffer.data(), buffer.size()), result);
    EXPECT_EQ(std::string(buffer.data()), text);
  }
  EXPECT_TRUE(port.isOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SerialPortLines,
    ::testing::Values(
        LineCase{"CrLf", "abc\r\n", 32, {{LineReceived, "abc"}}},
        LineCase{"ControlBytesDropped", std::string("a\x01" "b\n", 4), 32, {{LineReceived, "ab"}}},
        LineCase{"NulAndTabDropped", std::string("1\0\t2\x1b" "3\r\n", 8), 32, {{LineReceived, "123"}}},
        LineCase{"HighBytesKept", "\xb5lx\n", 32, {{LineReceived, "\xb5lx"}}},
        LineCase{"EmptyLine", "\r\n", 32, {{LineReceived, ""}}},
        LineCase{"TwoQueuedLines", "LX5810\r\nOK\r\n", 72, {{LineReceived, "LX5810"}, {LineReceived, "OK"}}},
        LineCase{"ThirtyCharactersFit",
                 std::string(30, 'A') + "\r\n",
                 32,
                 {{LineReceived, std::string(30, 'A')}}},
        LineCase{"ThirtyOneCharactersOverflow",
                 std::string(31, 'A') + "\r\n",
                 32,
                 {{LineOverflow, std::string(31, 'A')}, {LineReceived, ""}}},
        LineCase{"RestOfALongLineIsTheNextReply",
                 std::string(31, 'A') + "tail\r\nOK\r\n",
                 32,
                 {{LineOverflow, std::string(31, 'A')}, {LineReceived, "tail"}, {LineReceived, "OK"}}},
        LineCase{"SeventyOneInSeventyTwo",
                 std::string(71, 'B') + "\n",
                 72,
                 {{LineOverflow, std::string(71, 'B')}, {LineReceived, ""}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SerialPortOnPty, TellsWhetherReplyBytesWait) {
  EXPECT_FALSE(port.inputPending());
  peer.send("O");
  for (int i = 0; i < 500 && !port.inputPending(); ++i) usleep(10000);
  EXPECT_TRUE(port.inputPending());
  uint8_t byte = 0;
  ASSERT_EQ(port.readByte(byte), LineReceived);
  EXPECT_FALSE(port.inputPending());
  port.close();
  EXPECT_FALSE(port.inputPending());
}

TEST_F(SerialPortOnPty, ALineLeftQueuedIsTakenAsTheNextReply) {
  peer.send("LX5810\r\n");
  ASSERT_TRUE(port.writeLine("QPID"));
  char buffer[72];
  ASSERT_EQ(port.readLine(buffer, sizeof buffer), LineReceived);
  EXPECT_STREQ(buffer, "LX5810");
  peer.send("late\r\n");
  ASSERT_TRUE(port.writeLine("*IDN?"));
  ASSERT_EQ(port.readLine(buffer, sizeof buffer), LineReceived);
  EXPECT_STREQ(buffer, "late");
}

TEST_F(SerialPortOnPty, TimeOutClosesThePortAndTheNextSendFails) {
  ASSERT_TRUE(port.writeLine(":STAT?"));
  peer.send("partial");  // no LF: the line never ends
  char buffer[32];
  auto start = Clock::now();
  EXPECT_EQ(port.readLine(buffer, sizeof buffer), LinkTimeout);
  EXPECT_GE(Clock::now() - start, 1s);
  EXPECT_STREQ(buffer, "partial");
  EXPECT_FALSE(port.isOpen());
  EXPECT_FALSE(port.writeLine(":STAT?"));
  EXPECT_EQ(port.readLine(buffer, sizeof buffer), LinkError);
  EXPECT_STREQ(buffer, "");
  uint8_t byte = 0;
  EXPECT_EQ(port.readByte(byte), LinkError);
}

TEST_F(SerialPortOnPty, ReadsRawBytesWhateverTheirValue) {
  const std::string bytes("\x0a\x00\xff\x0d\x41", 5);
  peer.send(bytes);
  for (char expected : bytes) {
    uint8_t byte = 0;
    ASSERT_EQ(port.readByte(byte), LineReceived);
    EXPECT_EQ(byte, static_cast<uint8_t>(expected));
  }
  uint8_t byte = 0;
  EXPECT_EQ(port.readByte(byte), LinkTimeout);
  EXPECT_FALSE(port.isOpen());
}

TEST_F(SerialPortOnPty, ADeviceThatVanishesIsALinkError) {
  peer.hangUp();
  char buffer[32];
  EXPECT_FALSE(port.writeLine("QPID"));
  EXPECT_EQ(port.readLine(buffer, sizeof buffer), LinkError);
  EXPECT_FALSE(port.isOpen());
}

TEST_F(SerialPortOnPty, TooSmallABufferHoldsNoCharacter) {
  peer.send("abc\r\n");
  char buffer[1] = {'x'};
  EXPECT_EQ(port.readLine(buffer, 1), LineOverflow);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(port.readLine(nullptr, 0), LineOverflow);
  char rest[8];
  EXPECT_EQ(port.readLine(rest, sizeof rest), LineReceived);
  EXPECT_STREQ(rest, "abc");
}

TEST_F(SerialPortOnPty, AFreshOpenStartsWithEmptyQueues) {
  port.close();
  peer.send("stale\r\n");
  ASSERT_TRUE(port.open(peer.portNumber()));
  peer.send("fresh\r\n");
  char buffer[32];
  ASSERT_EQ(port.readLine(buffer, sizeof buffer), LineReceived);
  EXPECT_STREQ(buffer, "fresh");
}

TEST_F(SerialPortOnPty, ClosingForgetsThePort) {
  EXPECT_EQ(port.openPortNumber(), peer.portNumber());
  port.close();
  EXPECT_FALSE(port.isOpen());
  EXPECT_EQ(port.openPortNumber(), 0);
}

// A second open while the port is open would pull the line from under its
// holder: it is refused, and the holder's line keeps working.
TEST_F(SerialPortOnPty, OpeningAgainWhileOpenIsRefused) {
  EXPECT_FALSE(port.open(peer.portNumber()));
  EXPECT_TRUE(port.isOpen());
  EXPECT_TRUE(port.writeLine(":STAT?"));
  EXPECT_EQ(peer.receiveLine(), ":STAT?\r\n");
  peer.send("010000010000\r\n");
  char buffer[32];
  EXPECT_EQ(port.readLine(buffer, sizeof buffer), LineReceived);
  EXPECT_STREQ(buffer, "010000010000");
}

// A holder killed while it held the port left the terminal in exclusive
// mode (the far side keeps it open). Its lock went with it, and the lock is
// what tells who holds the port: the next open succeeds. Only root gets past
// the exclusive flag at all, so the case runs as root.
TEST_F(SerialPortOnPty, ExclusiveModeLeftByADeadHolderDoesNotBlock) {
  port.close();
  if (geteuid() != 0) GTEST_SKIP() << "only root can open a terminal left in exclusive mode";
  const int dead = ::open(peer.path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(dead, 0);
  ASSERT_EQ(::ioctl(dead, TIOCEXCL), 0);
  ::close(dead);  // as the kernel closes it for a killed process
  ASSERT_TRUE(port.open(peer.portNumber()));
  EXPECT_TRUE(port.writeLine("QPID"));
  EXPECT_EQ(peer.receiveLine(), "QPID\r\n");
}

// Whether an unprivileged process can open the terminal now (root ignores
// the exclusive flag, so the check runs as nobody).
int openAsNobody(const std::string& path) {
  pid_t child = fork();
  if (child == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    _exit(fd >= 0 ? 0 : (errno == EBUSY ? 1 : 3));
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(SerialPortOnPty, UseIsExclusiveUntilClosed) {
  SerialPort second;
  EXPECT_FALSE(second.open(peer.portNumber()));
  ASSERT_EQ(::chmod(peer.path().c_str(), 0666), 0);
  if (geteuid() == 0) {
    EXPECT_EQ(openAsNobody(peer.path()), 1) << "busy while open";
  }
  port.close();
  EXPECT_TRUE(second.open(peer.portNumber()));
  second.close();
  // The terminal stays open on the far side; the exclusive flag must not.
  if (geteuid() == 0) {
    EXPECT_EQ(openAsNobody(peer.path()), 0) << "free after close";
  }
}

}  // namespace
}  // namespace lmv
