#include "link/explicit_ports.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "link/port_numbering.h"

namespace lmv {

namespace {

// The number of the ttyACM/ttyUSB device a path leads to, 0 for anything else
// (including a path that does not exist yet).
int kernelNumberOfPath(const std::string& devicePath) {
  std::error_code ec;
  auto resolved = std::filesystem::canonical(devicePath, ec);
  if (ec) return 0;
  return portNumberForKernelName(resolved.filename().string());
}

}  // namespace

ExplicitPorts& ExplicitPorts::instance() {
  static ExplicitPorts ports;
  return ports;
}

int ExplicitPorts::add(const std::string& devicePath, const std::string& friendlyName) {
  if (devicePath.empty()) return 0;
  ExplicitPort port;
  port.devicePath = devicePath;
  port.displayName = deviceDisplayName(devicePath);
  port.friendlyName =
      friendlyName.empty() ? defaultExplicitFriendlyName(port.displayName) : friendlyName;
  int kernelNumber = kernelNumberOfPath(devicePath);

  std::lock_guard lock(mutex_);
  auto byPath = std::find_if(entries_.begin(), entries_.end(),
                             [&](const ExplicitPort& e) { return e.devicePath == devicePath; });
  if (byPath != entries_.end()) {
    port.portNumber = byPath->portNumber;
    *byPath = port;
    return port.portNumber;
  }
  auto taken = [&](int n) {
    return std::any_of(entries_.begin(), entries_.end(),
                       [n](const ExplicitPort& e) { return e.portNumber == n; });
  };
  if (kernelNumber != 0) {
    // Another name for a device that is already listed keeps the first name.
    if (taken(kernelNumber)) return kernelNumber;
    port.portNumber = kernelNumber;
  } else {
    for (int n = kFirstExplicitPortNumber; n <= kLastPortNumber && port.portNumber == 0; ++n)
      if (!taken(n)) port.portNumber = n;
    if (port.portNumber == 0) return 0;
  }
  entries_.push_back(port);
  std::sort(entries_.begin(), entries_.end(),
            [](const ExplicitPort& a, const ExplicitPort& b) { return a.portNumber < b.portNumber; });
  return port.portNumber;
}

bool ExplicitPorts::remove(const std::string& devicePath) {
  std::lock_guard lock(mutex_);
  auto removed = std::erase_if(entries_, [&](const ExplicitPort& e) { return e.devicePath == devicePath; });
  return removed > 0;
}

void ExplicitPorts::clear() {
  std::lock_guard lock(mutex_);
  entries_.clear();
}

std::vector<ExplicitPort> ExplicitPorts::entries() const {
  std::lock_guard lock(mutex_);
  return entries_;
}

std::optional<ExplicitPort> ExplicitPorts::find(int portNumber) const {
  std::lock_guard lock(mutex_);
  for (const auto& e : entries_)
    if (e.portNumber == portNumber) return e;
  return std::nullopt;
}

std::vector<std::string> ExplicitPorts::addList(std::string_view list) {
  std::vector<std::string> rejected;
  for (const auto& path : splitPortList(list))
    if (add(path) == 0) rejected.push_back(path);
  return rejected;
}

std::vector<std::string> ExplicitPorts::addFromEnvironment() {
  const char* value = std::getenv(kPortsEnvironmentVariable);
  return value ? addList(value) : std::vector<std::string>{};
}

std::vector<std::string> splitPortList(std::string_view list) {
  std::vector<std::string> paths;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find_first_of(":,", start);
    if (end == std::string_view::npos) end = list.size();
    std::string_view item = list.substr(start, end - start);
    while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
    while (!item.empty() && item.back() == ' ') item.remove_suffix(1);
    if (!item.empty()) paths.emplace_back(item);
    start = end + 1;
  }
  return paths;
}

std::string defaultExplicitFriendlyName(std::string_view displayName) {
  return "LX5810 named port (" + std::string(displayName) + ")";
}

}  // namespace lmv
