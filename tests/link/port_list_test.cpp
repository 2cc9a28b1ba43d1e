#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <thread>

#include "link/port_list.h"
#include "link/port_numbering.h"
#include "sim_fixture.h"

namespace lmv {
namespace {

TtyDevice device(const char* kernelName, std::map<std::string, std::string> properties = {},
                 const char* usbManufacturer = "", const char* usbProduct = "") {
  TtyDevice d;
  d.kernelName = kernelName;
  d.devNode = std::string("/dev/") + kernelName;
  d.properties = std::move(properties);
  d.usbManufacturer = usbManufacturer;
  d.usbProduct = usbProduct;
  d.onUsb = *usbManufacturer || *usbProduct;
  return d;
}

TEST(FriendlyName, IsVendorModelAndKernelName) {
  struct Case {
    TtyDevice device;
    const char* expected;
  };
  const Case cases[] = {
      {device("ttyACM0", {{"ID_VENDOR_ENC", "TAVEK\\x20"}, {"ID_MODEL_ENC", "LX5810\\x20USB\\x20Serial"},
                          {"ID_VENDOR", "TAVEK"}, {"ID_MODEL", "LX5810_USB_Serial"}}),
       "TAVEK LX5810 USB Serial (ttyACM0)"},
      {device("ttyACM1", {{"ID_VENDOR", "TAVEK"}, {"ID_MODEL", "LX5810_USB_Serial"}}),
       "TAVEK LX5810 USB Serial (ttyACM1)"},
      // An empty udev database: the USB device's own strings.
      {device("ttyACM2", {}, "TAVEK", "LX5810 USB Serial"), "TAVEK LX5810 USB Serial (ttyACM2)"},
      {device("ttyUSB0", {{"ID_VENDOR_FROM_DATABASE", "Future Technology Devices International, Ltd"},
                          {"ID_MODEL_FROM_DATABASE", "FT232 Serial (UART) IC"}}),
       "Future Technology Devices International, Ltd FT232 Serial (UART) IC (ttyUSB0)"},
      {device("ttyUSB1", {{"ID_VENDOR", "FTDI"}, {"ID_MODEL_FROM_DATABASE", "FT232"}}), "FTDI FT232 (ttyUSB1)"},
      {device("ttyS0"), "Serial port (ttyS0)"},
  };
  for (const auto& c : cases) EXPECT_EQ(friendlyNameFor(c.device), c.expected);
}

TEST(FriendlyName, FilterAndPortNumber) {
  struct Case {
    const char* name;
    bool meter;
    int32_t number;
  };
  const Case cases[] = {
      {"TAVEK LX5810 USB Serial (ttyACM0)", true, 1},
      {"TAVEK LX5810 USB Serial (ttyACM12)", true, 13},
      {"LX5810 (ttyUSB3)", true, 104},
      {"Generic USB Serial (ttyACM3)", false, 4},
      {"tavek lx5810 (ttyACM0)", false, 1},
      {"Simulated LX5810 (pts/3)", true, 0},
      {"LX5810 without a port", true, 0},
      {"LX5810 (ttyACM0", true, 0},
      {"LX5810 (usb 2) (ttyACM4)", true, 5},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(isMeterPortName(c.name), c.meter) << c.name;
    EXPECT_EQ(parsePortNumber(c.name), c.number) << c.name;
  }
}

TEST(PortListBuild, ListsMeterPortsInEnumerationOrderThenNamedPorts) {
  auto noNode = device("ttyACM7", {{"ID_VENDOR", "TAVEK"}, {"ID_MODEL", "LX5810"}});
  noNode.devNode.clear();
  const std::vector<TtyDevice> devices = {
      device("ttyACM3", {}, "TAVEK", "LX5810 USB Serial"),
      device("ttyUSB0", {}, "FTDI", "FT232R USB UART"),
      noNode,
      device("ttyS4", {}, "TAVEK", "LX5810"),  // a kind of device without a number
      device("ttyACM0", {{"ID_VENDOR", "TAVEK"}, {"ID_MODEL", "LX5810_USB_Serial"}}),
  };
  const std::vector<ExplicitPort> named = {
      {4, "/tmp/also-acm3", "LX5810 named port (/tmp/also-acm3)", "/tmp/also-acm3"},
      {201, "/dev/pts/5", "Simulated LX5810 (pts/5)", "pts/5"},
  };
  const std::vector<_COM_LIST> expected = {
      {"TAVEK LX5810 USB Serial (ttyACM3)", 4, "/dev/ttyACM3"},
      {"TAVEK LX5810 USB Serial (ttyACM0)", 1, "/dev/ttyACM0"},
      {"Simulated LX5810 (pts/5)", 201, "/dev/pts/5"},
  };
  auto list = buildPortList(devices, named);
  EXPECT_EQ(list, expected);
  EXPECT_EQ(firstPortOrNone(list), 4);
}

TEST(PortListBuild, NoDevicesGiveAnEmptyListAndNoPort) {
  auto list = buildPortList({device("ttyS0"), device("ttyUSB2", {}, "Prolific", "USB-Serial")}, {});
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(firstPortOrNone(list), kNoPort);
}

TEST(PortListShared, ARebuildDuringAWalkNeverReadsOutOfRange) {
  PortList list;
  std::atomic<bool> done{false};
  std::thread rebuild([&] {
    for (int round = 0; round < 2000; ++round) {
      std::vector<_COM_LIST> entries;
      for (int i = 0; i < round % 7; ++i) entries.push_back({"LX5810 (ttyACM" + std::to_string(i) + ")", i + 1, ""});
      list.replace(std::move(entries));
    }
    done = true;
  });
  long walked = 0;
  while (!done) {
    // The identification pass: a snapshot, walked by index with wrap-around.
    auto snapshot = list.snapshot();
    for (size_t k = 0; k < snapshot.size(); ++k) walked += snapshot[(k + 3) % snapshot.size()].portNumber;
    (void)list.size();
    (void)list.findByNumber(3);
  }
  rebuild.join();
  EXPECT_GE(walked, 0);
  EXPECT_EQ(list.size(), 1999u % 7);
}

TEST(PortListSystem, NamedPortsThatExistJoinTheList) {
  ExplicitPorts::instance().clear();
  test::PtyPeer peer;  // registers itself
  ASSERT_EQ(setenv(kPortsEnvironmentVariable, "/nonexistent/lx5810-port", 1), 0);
  auto list = enumeratePorts();
  unsetenv(kPortsEnvironmentVariable);
  EXPECT_EQ(list, portList().snapshot());
  bool peerListed = false;
  for (const auto& entry : list) {
    EXPECT_TRUE(isMeterPortName(entry.friendlyName)) << entry.friendlyName;
    EXPECT_NE(entry.devicePath, "/nonexistent/lx5810-port");
    if (entry.portNumber == peer.portNumber()) {
      peerListed = true;
      EXPECT_EQ(entry.devicePath, peer.path());
      EXPECT_EQ(entry.friendlyName, "Test peer LX5810 (" + portDisplayName(peer.portNumber()) + ")");
    }
  }
  EXPECT_TRUE(peerListed);
  ExplicitPorts::instance().clear();
}

}  // namespace
}  // namespace lmv
