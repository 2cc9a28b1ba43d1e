#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "link/explicit_ports.h"
#include "link/port_numbering.h"

namespace lmv {
namespace {

TEST(PortNumbering, KernelNamesMapToTheirBlocks) {
  const std::pair<const char*, int> cases[] = {
      {"ttyACM0", 1},   {"ttyACM8", 9},   {"ttyACM9", 10},  {"ttyACM99", 100}, {"ttyACM100", 0},
      {"ttyUSB0", 101}, {"ttyUSB9", 110}, {"ttyUSB99", 200}, {"ttyUSB100", 0}, {"ttyS0", 0},
      {"ttyACM", 0},    {"ttyACM01", 0},  {"ttyACM-1", 0},  {"ttyACM+1", 0},  {"ttyACM1x", 0},
      {"pts/3", 0},     {"", 0},          {"ttyacm0", 0},
  };
  for (const auto& [name, number] : cases) {
    EXPECT_EQ(portNumberForKernelName(name), number) << name;
    if (number != 0) {
      EXPECT_EQ(kernelNameForPortNumber(number), name);
    }
  }
}

TEST(PortNumbering, NumbersMapToDevicesOnlyInRange) {
  ExplicitPorts::instance().clear();
  const std::pair<int, const char*> cases[] = {
      {1, "/dev/ttyACM0"},  {9, "/dev/ttyACM8"},   {10, "/dev/ttyACM9"}, {100, "/dev/ttyACM99"},
      {101, "/dev/ttyUSB0"}, {200, "/dev/ttyUSB99"}, {201, ""},          {256, ""},
      {0, ""},              {-1, ""},              {257, ""},           {1000, ""},
  };
  for (const auto& [number, path] : cases) {
    EXPECT_EQ(devicePathForPort(number), path) << number;
    std::string expectedName = *path ? std::string(path).substr(5) : std::string();
    EXPECT_EQ(portDisplayName(number), expectedName) << number;
  }
  EXPECT_TRUE(isValidPortNumber(1));
  EXPECT_TRUE(isValidPortNumber(256));
  EXPECT_FALSE(isValidPortNumber(0));
  EXPECT_FALSE(isValidPortNumber(257));
  EXPECT_FALSE(isValidPortNumber(kNoPort));
}

TEST(PortNumbering, DisplayNamesAreWhatTheUserKnows) {
  EXPECT_EQ(deviceDisplayName("/dev/ttyACM0"), "ttyACM0");
  EXPECT_EQ(deviceDisplayName("/dev/pts/3"), "pts/3");
  EXPECT_EQ(deviceDisplayName("/tmp/lx5810"), "/tmp/lx5810");
  EXPECT_EQ(deviceDisplayName("/dev/"), "/dev/");
}

class ExplicitPortsTest : public ::testing::Test {
 protected:
  void SetUp() override { ports.clear(); }
  void TearDown() override { ports.clear(); }
  ExplicitPorts& ports = ExplicitPorts::instance();
};

TEST_F(ExplicitPortsTest, NamedPortsGetTheLowestFreeNumberFrom201) {
  EXPECT_EQ(ports.add("/dev/pts/7"), 201);
  EXPECT_EQ(ports.add("/dev/pts/9", "Simulated LX5810 (pts/9)"), 202);
  EXPECT_EQ(ports.add("/dev/pts/7", "Renamed LX5810 (pts/7)"), 201);  // same path, same number
  EXPECT_EQ(devicePathForPort(202), "/dev/pts/9");
  EXPECT_EQ(portDisplayName(201), "pts/7");
  auto first = ports.find(201);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->friendlyName, "Renamed LX5810 (pts/7)");
  EXPECT_EQ(ports.find(202)->friendlyName, "Simulated LX5810 (pts/9)");

  EXPECT_TRUE(ports.remove("/dev/pts/7"));
  EXPECT_FALSE(ports.remove("/dev/pts/7"));
  EXPECT_EQ(devicePathForPort(201), "");
  EXPECT_EQ(ports.add("/dev/pts/11"), 201);  // freed number used again
  EXPECT_EQ(ports.add(""), 0);
}

TEST_F(ExplicitPortsTest, DefaultFriendlyNamePassesTheMeterFilter) {
  ports.add("/tmp/meter");
  auto entry = ports.find(201);
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->friendlyName, "LX5810 named port (/tmp/meter)");
  EXPECT_EQ(entry->displayName, "/tmp/meter");
}

TEST_F(ExplicitPortsTest, NumbersRunOutAt256) {
  for (int n = 201; n <= 256; ++n) ASSERT_EQ(ports.add("/dev/pts/" + std::to_string(n)), n);
  EXPECT_EQ(ports.add("/dev/pts/one-too-many"), 0);
  EXPECT_EQ(ports.entries().size(), 56u);
}

TEST_F(ExplicitPortsTest, APathToAUsbSerialDeviceKeepsItsKernelNumber) {
  // Numbering looks at the name the path resolves to; a plain file named
  // like the device stands in for it.
  auto dir = std::filesystem::temp_directory_path() / ("lmv-ports-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "ttyACM5").put('x');
  std::filesystem::create_symlink(dir / "ttyACM5", dir / "meter");
  EXPECT_EQ(ports.add((dir / "meter").string()), 6);
  EXPECT_EQ(ports.add((dir / "ttyACM5").string()), 6);  // the same device again
  EXPECT_EQ(devicePathForPort(6), (dir / "meter").string());
  std::filesystem::remove_all(dir);
}

TEST_F(ExplicitPortsTest, ALinkToANamedPortIsThatPort) {
  auto dir = std::filesystem::temp_directory_path() / ("lmv-link-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "pty").put('x');
  std::filesystem::create_symlink(dir / "pty", dir / "meter");
  EXPECT_EQ(ports.add((dir / "pty").string()), 201);
  EXPECT_EQ(ports.add((dir / "meter").string()), 201);
  EXPECT_EQ(ports.entries().size(), 1u);
  std::filesystem::remove_all(dir);
}

TEST_F(ExplicitPortsTest, ListsSplitAtColonsAndCommas) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"/dev/pts/3:/dev/pts/4", {"/dev/pts/3", "/dev/pts/4"}},
      {"/dev/pts/3,/dev/pts/4", {"/dev/pts/3", "/dev/pts/4"}},
      {" /dev/pts/3 , :/tmp/m ", {"/dev/pts/3", "/tmp/m"}},
      {"", {}},
      {"::,", {}},
  };
  for (const auto& [list, paths] : cases) EXPECT_EQ(splitPortList(list), paths) << list;
}

TEST_F(ExplicitPortsTest, TheEnvironmentVariableNamesPorts) {
  ASSERT_EQ(setenv(kPortsEnvironmentVariable, "/dev/pts/40,/dev/pts/41", 1), 0);
  EXPECT_TRUE(ports.addFromEnvironment().empty());
  unsetenv(kPortsEnvironmentVariable);
  auto entries = ports.entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].devicePath, "/dev/pts/40");
  EXPECT_EQ(entries[1].devicePath, "/dev/pts/41");
  EXPECT_TRUE(ports.addFromEnvironment().empty());  // unset: nothing added
  EXPECT_EQ(ports.entries().size(), 2u);
}

}  // namespace
}  // namespace lmv
