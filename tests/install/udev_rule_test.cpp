// The meter's udev rule: its keys as udev reads them, and what it does to
// devices, compared with the ports the program lists.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_run.h"
#include "install_paths.h"
#include "link/port_list.h"
#include "udev_rules.h"

namespace lmv::test {
namespace {

std::string ruleText() { return wholeFile(LMV_PACKAGING_SOURCE_DIR "/udev/70-lumetrevisor.rules"); }

TEST(UdevRule, EveryKeyOperatorAndSubstitutionIsUdevs) {
  const UdevRuleFile file = parseUdevRules(ruleText());
  EXPECT_TRUE(file.errors.empty()) << ::testing::PrintToString(file.errors);
  EXPECT_GE(file.rules.size(), 5u);
}

TEST(UdevRule, UdevadmVerifyWhereAvailable) {
  if (runShell("udevadm verify --help").exitCode != 0)
    GTEST_SKIP() << "this udevadm has no 'verify' (systemd before 253): the rule's keys are checked by "
                    "UdevRule.EveryKeyOperatorAndSubstitutionIsUdevs, and udev's own reader checks the "
                    "installed rule in DebianPackage.BuildsPassesLintianInstallsRunsAndIsRemoved";
  const ShellRun run =
      runShell("udevadm verify --resolve-names=never " + shellQuoted(LMV_PACKAGING_SOURCE_DIR "/udev/70-lumetrevisor.rules"));
  EXPECT_EQ(run.exitCode, 0) << run.out;
}

// The reader finds the faults udev would refuse or misread.
struct BrokenRule {
  const char* text;
  const char* fault;
};

class UdevRuleReader : public testing::TestWithParam<BrokenRule> {};

TEST_P(UdevRuleReader, FindsTheFault) {
  const UdevRuleFile file = parseUdevRules(GetParam().text);
  ASSERT_EQ(file.errors.size(), 1u) << ::testing::PrintToString(file.errors);
  EXPECT_NE(file.errors.front().find(GetParam().fault), std::string::npos) << file.errors.front();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, UdevRuleReader,
    testing::Values(BrokenRule{"SUBSYSTEM==\"tty\", VENDOR==\"x\"\n", "unknown key VENDOR"},
                    BrokenRule{"KERNEL==\"ttyACM0\" TAG+=\"uaccess\"\n", "missing comma"},
                    BrokenRule{"KERNEL==\"ttyACM0\", TAG+=uaccess\n", "not quoted"},
                    BrokenRule{"KERNEL==\"ttyACM0\", MODE==\"0660\"\n", "MODE does not take =="},
                    BrokenRule{"ATTRS==\"x\", TAG+=\"uaccess\"\n", "ATTRS needs an {attribute}"},
                    BrokenRule{"KERNEL==\"ttyACM0\", SYMLINK+=\"lx5810-%q\"\n", "unknown substitution %q"},
                    BrokenRule{"KERNEL==\"ttyACM0\", SYMLINK+=\"lx5810-$serial\"\n", "unknown substitution $serial"},
                    BrokenRule{"KERNEL==\"ttyACM0\", TAG+=\"uaccess\",\n", "trailing comma"},
                    BrokenRule{"SUBSYSTEM!=\"tty\", GOTO=\"end\"\nLABEL=\"other\"\n", "GOTO end has no label"},
                    BrokenRule{"ENV{ID_MODEL}==\"*LX5810*\", \\\n  TAG+=\"uaccess\", SYMLINK+=\"a\" GOTO=\"x\"\n",
                               "line 1: missing comma"}));

// A tty device as udev sees it, with the same facts as the program's view.
struct MeterCase {
  const char* name;
  std::string action;
  std::string kernel;
  std::string subsystem;
  std::map<std::string, std::string> env;  // what 60-serial.rules imported
  std::string usbManufacturer, usbProduct;  // the USB device's strings; none when not on USB
  bool onUsb;
  std::string link;  // "" when the rule leaves the device alone
};

void PrintTo(const MeterCase& c, std::ostream* out) { *out << c.name; }

UdevEvent eventFor(const MeterCase& c) {
  UdevEvent event;
  event.action = c.action;
  event.env = c.env;
  event.path.push_back({c.kernel, c.subsystem, {{"dev", "166:0"}}});
  if (c.onUsb) {
    event.path.push_back({"1-1:1.0", "usb", {{"bInterfaceClass", "02"}, {"interface", "CDC Abstract Control Model"}}});
    event.path.push_back({"1-1", "usb", {{"manufacturer", c.usbManufacturer + "\n"}, {"product", c.usbProduct + "\n"}}});
    event.path.push_back({"usb1", "usb", {{"manufacturer", "Linux xhci-hcd"}, {"product", "xHCI Host Controller"}}});
  }
  event.path.push_back({"0000:00:14.0", "pci", {{"vendor", "0x8086"}}});
  return event;
}

TtyDevice ttyFor(const MeterCase& c) {
  TtyDevice tty;
  tty.kernelName = c.kernel;
  tty.devNode = "/dev/" + c.kernel;
  tty.properties = c.env;
  tty.onUsb = c.onUsb;
  tty.usbManufacturer = c.usbManufacturer;
  tty.usbProduct = c.usbProduct;
  return tty;
}

class UdevRuleOnDevices : public testing::TestWithParam<MeterCase> {};

TEST_P(UdevRuleOnDevices, TagsAndLinksTheMetersTheProgramLists) {
  const MeterCase& c = GetParam();
  const UdevRuleFile file = parseUdevRules(ruleText());
  ASSERT_TRUE(file.errors.empty());
  const UdevOutcome outcome = applyUdevRules(file, eventFor(c));

  const bool tagged = std::count(outcome.tags.begin(), outcome.tags.end(), "uaccess") == 1;
  if (c.link.empty()) {
    EXPECT_FALSE(tagged);
    EXPECT_TRUE(outcome.symlinks.empty()) << ::testing::PrintToString(outcome.symlinks);
  } else {
    EXPECT_TRUE(tagged);
    EXPECT_EQ(outcome.symlinks, std::vector<std::string>{c.link});
  }
  // The rule's temporary mark does not stay in the device's properties.
  for (const auto& [key, value] : outcome.env)
    if (!c.env.count(key)) {
      EXPECT_EQ(key.front(), '.') << key;
    }

  if (c.action == "add" && c.subsystem == "tty") {
    const bool listed = !buildPortList({ttyFor(c)}, {}).empty();
    EXPECT_EQ(tagged, listed) << "the rule and the program's port list disagree on " << friendlyNameFor(ttyFor(c));
  }
}

const std::map<std::string, std::string> kUsbIdNames = {
    {"ID_VENDOR", "TAVEK"},         {"ID_VENDOR_ENC", "TAVEK"},
    {"ID_MODEL", "LX5810_USB_Serial"}, {"ID_MODEL_ENC", "LX5810\\x20USB\\x20Serial"},
    {"ID_BUS", "usb"},              {"ID_USB_INTERFACE_NUM", "00"}};

INSTANTIATE_TEST_SUITE_P(
    Devices, UdevRuleOnDevices,
    testing::Values(
        MeterCase{"MeterOnTtyAcm0", "add", "ttyACM0", "tty", kUsbIdNames, "TAVEK", "LX5810 USB Serial", true,
                  "lx5810-0"},
        MeterCase{"Lx5811ReportsLx5810Too", "add", "ttyACM3", "tty",
                  {{"ID_VENDOR", "TAVEK"}, {"ID_MODEL", "LX5810_LX5811"}}, "TAVEK", "LX5810 LX5811", true,
                  "lx5810-3"},
        MeterCase{"NamesOnlyInTheUsbStrings", "add", "ttyUSB2", "tty", {}, "TAVEK", "LX5810 Light Meter", true,
                  "lx5810-2"},
        MeterCase{"NamesFromTheHardwareDatabase", "add", "ttyUSB0", "tty",
                  {{"ID_VENDOR_FROM_DATABASE", "TAVEK Corp."}, {"ID_MODEL_FROM_DATABASE", "LX5810 Illuminance Meter"}},
                  "", "", true, "lx5810-0"},
        MeterCase{"AnotherUsbSerialDevice", "add", "ttyACM1", "tty",
                  {{"ID_VENDOR", "Arduino__www.arduino.cc_"}, {"ID_MODEL", "Uno"}}, "Arduino (www.arduino.cc)",
                  "Uno", true, ""},
        MeterCase{"LowerCaseNameIsNoMeter", "add", "ttyACM0", "tty", {{"ID_MODEL", "lx5810"}}, "", "lx5810", true,
                  ""},
        MeterCase{"MainBoardSerialPort", "add", "ttyS0", "tty", {}, "", "", false, ""},
        MeterCase{"MeterNameOnAnotherKindOfTty", "add", "ttyS4", "tty", {{"ID_MODEL", "LX5810"}}, "", "", false, ""},
        MeterCase{"MeterRemoved", "remove", "ttyACM0", "tty", kUsbIdNames, "TAVEK", "LX5810 USB Serial", true, ""},
        MeterCase{"TheUsbDeviceItself", "add", "1-1", "usb", kUsbIdNames, "TAVEK", "LX5810 USB Serial", true, ""}),
    [](const testing::TestParamInfo<MeterCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lmv::test
