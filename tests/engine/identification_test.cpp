// Finding and identifying the meter over real pseudo-terminals: the test
// either plays the meter line by line (PtyPeer) or runs the simulator.
#include <gtest/gtest.h>
#include <termios.h>

#include <atomic>
#include <thread>

#include "link/explicit_ports.h"
#include "link/identification.h"
#include "link/port_list.h"
#include "link/port_numbering.h"
#include "link/usb_poll_thread.h"
#include "fake_ui_host.h"
#include "sim_fixture.h"

namespace lmv::test {
namespace {

struct PeerStep {
  const char* expected;  // the command line the program sends
  const char* reply;     // what the meter answers
};

// Plays the meter for one probePort call; returns its result.
bool probeWithPeer(PtyPeer& peer, MeterSession& session, const std::vector<PeerStep>& steps,
                   speed_t* firstSpeed = nullptr) {
  std::atomic<bool> found{false};
  std::thread prober([&] { found = probePort(session, peer.portNumber()); });
  for (size_t i = 0; i < steps.size(); ++i) {
    EXPECT_EQ(peer.receiveLine(), std::string(steps[i].expected) + "\r\n") << "step " << i;
    if (i == 0 && firstSpeed) {
      termios t{};
      EXPECT_TRUE(peer.lineSettings(t));
      *firstSpeed = ::cfgetospeed(&t);
    }
    peer.send(steps[i].reply);
  }
  prober.join();
  return found;
}

TEST(ProbePort, TriesTheBaudRateThatAnsweredLastFirst) {
  for (int32_t last : {9600, 19200}) {
    PtyPeer peer;
    MeterSession session;
    currentBaud = last;
    currentPort = kNoPort;
    speed_t speed = B0;
    EXPECT_TRUE(probeWithPeer(peer, session,
                              {{"QPID", "LX5811\r\n"}, {"QPID", "LX5811\r\n"}, {"*IDN?", "TAVEK,LX5811,SN42,Ver 0.24\r\n"}},
                              &speed));
    EXPECT_EQ(speed, last == 9600 ? B9600 : B19200);
    EXPECT_EQ(currentBaud, last);
    EXPECT_EQ(currentPort, peer.portNumber());
    const MeterIdentity id = session.identity();
    EXPECT_EQ(id.modelIndex, 1);
    EXPECT_EQ(id.serialNumberText, "SN42");
    EXPECT_EQ(id.firmwareVersionText, "0.24");
    EXPECT_FALSE(session.port.isOpen());
  }
}

TEST(ProbePort, OnlyTheSecondQpidReplyCounts) {
  PtyPeer peer;
  MeterSession session;
  currentBaud = 19200;
  EXPECT_TRUE(probeWithPeer(peer, session,
                            {{"QPID", "LX58\r\n"}, {"QPID", "LX5810\r\n"}, {"*IDN?", "TAVEK,LX5810,7,Ver 1.00\r\n"}}));
  EXPECT_EQ(session.identity().modelIndex, 0);

  // A second reply that names no model: both baud rates are tried, then
  // the port is given up (closed) without "*IDN?".
  PtyPeer other;
  EXPECT_FALSE(probeWithPeer(other, session,
                             {{"QPID", "LX5810\r\n"},
                              {"QPID", "LX9999\r\n"},
                              {"QPID", "LX5810\r\n"},
                              {"QPID", "\r\n"}}));
  EXPECT_EQ(session.identity().modelIndex, 2);
  EXPECT_FALSE(session.port.isOpen());
}

TEST(ProbePort, IdnReplyWithTwoCommasHasNoSerialNumber) {
  PtyPeer peer;
  MeterSession session;
  currentBaud = 19200;
  EXPECT_TRUE(probeWithPeer(peer, session,
                            {{"QPID", "LX5810\r\n"}, {"QPID", "LX5810\r\n"}, {"*IDN?", "TAVEK,LX5810,Ver 0.23\r\n"}}));
  EXPECT_EQ(session.identity().serialNumberText, "");
  EXPECT_EQ(session.identity().firmwareVersionText, "0.23");
}

TEST(ProbePort, FindsTheSimulatorAtTheOtherBaudRate) {
  sim::MeterConfig config;
  config.baud = 9600;
  config.model = "LX5811";
  SimulatedMeter meter(config);
  MeterSession session;
  currentBaud = 19200;
  // 19200 goes unanswered (one receive time limit), then 9600 answers.
  EXPECT_TRUE(probePort(session, meter.portNumber()));
  EXPECT_EQ(currentBaud, 9600);
  EXPECT_EQ(session.identity().modelIndex, 1);
  EXPECT_EQ(session.identity().serialNumberText, config.serialNumber);
  EXPECT_EQ(session.identity().firmwareVersionText, config.firmwareVersion);
}

TEST(ProbeAllPorts, StartsAtTheCurrentPortAndWrapsAround) {
  struct Case {
    std::vector<int32_t> ports;
    int32_t current;
    int32_t meterAt;  // 0: nowhere
    std::vector<int32_t> tried;
  } cases[] = {
      {{1, 2, 3}, 2, 0, {2, 3, 1}},
      {{1, 2, 3}, 3, 2, {3, 1, 2}},
      {{1, 2, 3}, kNoPort, 3, {1, 2, 3}},
      {{5, 7}, 7, 7, {7}},
      {{}, 1, 1, {}},
  };
  for (const auto& c : cases) {
    std::atomic<int32_t> abort{1};  // a request left from before is cleared
    std::vector<int32_t> tried;
    const bool found = probeAllPorts(c.ports, c.current, abort, [&](int32_t n) {
      tried.push_back(n);
      return n == c.meterAt;
    });
    EXPECT_EQ(found, c.meterAt != 0 && !c.ports.empty());
    EXPECT_EQ(tried, c.tried);
  }
}

TEST(ProbeAllPorts, DeviceChangeEndsThePassBeforeTheNextPort) {
  std::atomic<int32_t> abort{0};
  std::vector<int32_t> tried;
  EXPECT_FALSE(probeAllPorts({1, 2, 3}, 1, abort, [&](int32_t n) {
    tried.push_back(n);
    abort = 1;
    return false;
  }));
  EXPECT_EQ(tried, std::vector<int32_t>{1});
}

TEST(ProbeAllPorts, OverThePortListFromTheLastPortThatAnswered) {
  sim::MeterConfig first;
  sim::MeterConfig second;
  second.model = "LX5811";
  second.serialNumber = "20000456";
  SimulatedMeter a(first);
  SimulatedMeter b(second);
  portList().replace(buildPortList({}, ExplicitPorts::instance().entries()));
  MeterSession session;
  currentBaud = 19200;
  currentPort = b.portNumber();
  EXPECT_TRUE(probeAllPorts(session));
  EXPECT_EQ(currentPort, b.portNumber());
  EXPECT_EQ(session.identity().serialNumberText, "20000456");
  EXPECT_TRUE(a.simulator().commandLog().empty());

  currentPort = kNoPort;
  EXPECT_TRUE(probeAllPorts(session));
  EXPECT_EQ(currentPort, a.portNumber());
  EXPECT_EQ(session.identity().modelIndex, 0);
  portList().replace({});
}

// Stopping the poll thread from the user-interface thread waits for one
// receive at most, not for the rest of a probe of silent ports (up to 2 s
// a read, two baud rates a port).
TEST(UsbPollThreadStop, IsAnsweredWithinOneReceive) {
  SimulatedMeter a;
  SimulatedMeter b;
  for (SimulatedMeter* m : {&a, &b}) m->simulator().addFault(sim::Fault{sim::FaultKind::NoReply, "QPID", -1, -1});
  portList().replace(buildPortList({}, ExplicitPorts::instance().entries()));
  currentBaud = 19200;
  currentPort = a.portNumber();
  MeterSession session;
  FakeUiHost ui;
  UsbPollThread poll(session, ui, [] {});
  poll.start();
  auto qpids = [](SimulatedMeter& m) {
    const auto log = m.simulator().commandLog();
    return std::count(log.begin(), log.end(), "QPID");
  };
  ASSERT_TRUE(ui.pumpUntil([&] { return qpids(a) >= 1; }, std::chrono::minutes(1)));
  poll.stopAndJoin();
  EXPECT_EQ(qpids(a), 1) << "the probe went on after the stop";
  EXPECT_TRUE(b.simulator().commandLog().empty());
  EXPECT_FALSE(session.port.isOpen());
  portList().replace({});
}

}  // namespace
}  // namespace lmv::test
