#pragma once
// The serial ports that belong to a meter, rebuilt from the system's device
// list on start-up and on every device change, read by the identification
// pass (which works on a snapshot), the connection diagram and the settings.
#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/explicit_ports.h"

namespace lmv {

struct _COM_LIST {
  std::string friendlyName;  // e.g. "TAVEK LX5810 USB Serial (ttyACM0)"
  int32_t portNumber = 0;
  std::string devicePath;    // e.g. "/dev/ttyACM0"

  bool operator==(const _COM_LIST&) const = default;
};

// Thread-safe: a rebuild replaces the whole list at once, readers take copies.
class PortList {
 public:
  void replace(std::vector<_COM_LIST> entries);
  std::vector<_COM_LIST> snapshot() const;
  size_t size() const;
  bool empty() const;
  std::optional<_COM_LIST> findByNumber(int32_t portNumber) const;

 private:
  mutable std::mutex mutex_;
  std::vector<_COM_LIST> entries_;
};

// The process-wide list.
PortList& portList();

// The meter's port and the baud rate it answered at; persisted in the
// settings. currentPort is kNoPort (1000) while no port is known.
extern std::atomic<int32_t> currentPort;
extern std::atomic<int32_t> currentBaud;
inline constexpr int32_t kBaudTable[2] = {9600, 19200};

// currentPort at a start without settings: the first listed port, or kNoPort.
int32_t firstPortOrNone(const std::vector<_COM_LIST>& entries);

// A tty device as the system describes it. properties are the udev
// properties (ID_VENDOR, ID_MODEL, ID_VENDOR_ENC, ID_MODEL_ENC,
// ID_VENDOR_FROM_DATABASE, ID_MODEL_FROM_DATABASE, ...); usbManufacturer and
// usbProduct are the USB device's own strings, read from sysfs, which are
// there even when the udev database is empty.
struct TtyDevice {
  std::string kernelName;  // "ttyACM0"
  std::string devNode;     // "/dev/ttyACM0"
  std::map<std::string, std::string> properties;
  std::string usbManufacturer;
  std::string usbProduct;
  bool onUsb = false;
};

// "<vendor> <model> (<kernel name>)", e.g. "TAVEK LX5810 USB Serial (ttyACM0)".
// Vendor and model come from the first source that has them: the udev
// *_ENC strings, the udev ID_VENDOR/ID_MODEL (underscores read as blanks),
// the USB strings, the udev hardware database. Without any:
// "Serial port (<kernel name>)".
std::string friendlyNameFor(const TtyDevice& device);

// Only ports whose friendly name contains "LX5810" belong to a meter; both
// models report that text.
bool isMeterPortName(std::string_view friendlyName);

// The port number of the kernel name in the last parentheses of a friendly
// name: "... (ttyACM12)" -> 13. 0 when there is none or it is not numbered.
int32_t parsePortNumber(std::string_view friendlyName);

// The meter ports among the devices, in enumeration order, followed by the
// explicit ports whose number is not listed yet. Devices without a device
// node or a port number are left out.
std::vector<_COM_LIST> buildPortList(const std::vector<TtyDevice>& devices,
                                     const std::vector<ExplicitPort>& explicitPorts);

// Every tty device with a device node, from udev (tty_devices.cpp).
std::vector<TtyDevice> listTtyDevices();

// Rebuilds portList() from the device list and the explicit ports (adding
// those of LUMETREVISOR_PORTS); explicit ports whose path does not exist
// are left out. Returns the new list.
std::vector<_COM_LIST> enumeratePorts();

}  // namespace lmv
