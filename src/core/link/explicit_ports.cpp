#include "link/explicit_ports.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "link/port_numbering.h"

namespace lmv {

namespace {

// Where a path leads; empty for a path that does not exist (yet).
std::filesystem::path resolve(const std::string& devicePath) {
  std::error_code ec;
  auto resolved = std::filesystem::canonical(devicePath, ec);
  return ec ? std::filesystem::path() : resolved;
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
  const auto resolved = resolve(devicePath);
  // A path to a ttyACM/ttyUSB device keeps that device's number.
  const int kernelNumber = resolved.empty() ? 0 : portNumberForKernelName(resolved.filename().string());

  std::lock_guard lock(mutex_);
  auto byPath = std::find_if(entries_.begin(), entries_.end(),
                             [&](const ExplicitPort& e) { return e.devicePath == devicePath; });
  if (byPath != entries_.end()) {
    port.portNumber = byPath->portNumber;
    *byPath = port;
    return port.portNumber;
  }
  // Another path to a device that is already named (a link to it) is the
  // same port.
  if (!resolved.empty()) {
    for (const auto& e : entries_)
      if (resolve(e.devicePath) == resolved) return e.portNumber;
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
