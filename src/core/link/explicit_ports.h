#pragma once
// Serial ports named explicitly rather than found by the device list: by the
// user (the CLI's --port, the variable LUMETREVISOR_PORTS) or by a simulated
// meter on a pseudo-terminal. They join the meter port list with their own
// friendly name, so that any tty can stand for a meter.
//
// LUMETREVISOR_PORTS holds device paths separated by ':' or ',', for example
// LUMETREVISOR_PORTS=/dev/pts/3:/dev/ttyS0.
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lmv {

inline constexpr const char* kPortsEnvironmentVariable = "LUMETREVISOR_PORTS";

struct ExplicitPort {
  int portNumber = 0;
  std::string devicePath;    // as given; opened as is
  std::string friendlyName;  // contains "LX5810", ends in "(displayName)"
  std::string displayName;   // deviceDisplayName(devicePath)
};

// Process-wide and thread-safe.
class ExplicitPorts {
 public:
  static ExplicitPorts& instance();

  // Adds a port, or renames it when the path is already known; returns its
  // port number, 0 when the path is empty or no number is free. A path that
  // resolves to a ttyACM or ttyUSB device keeps that device's own number; a
  // second path to a named device (a link) gets that port's number and is
  // not added. An empty friendly name gives "LX5810 named port (<displayName>)".
  int add(const std::string& devicePath, const std::string& friendlyName = {});
  bool remove(const std::string& devicePath);
  void clear();

  std::vector<ExplicitPort> entries() const;  // by port number
  std::optional<ExplicitPort> find(int portNumber) const;

  // Adds every path of a ':' or ',' separated list; returns the paths that
  // could not be given a number.
  std::vector<std::string> addList(std::string_view list);
  std::vector<std::string> addFromEnvironment();

 private:
  mutable std::mutex mutex_;
  std::vector<ExplicitPort> entries_;
};

std::vector<std::string> splitPortList(std::string_view list);
std::string defaultExplicitFriendlyName(std::string_view displayName);

}  // namespace lmv
