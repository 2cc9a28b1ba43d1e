#include "link/port_numbering.h"

#include <charconv>

#include "link/explicit_ports.h"

namespace lmv {

namespace {

struct NumberBlock {
  std::string_view prefix;
  int first;
  int count;
};

constexpr NumberBlock kBlocks[] = {
    {"ttyACM", 1, 100},
    {"ttyUSB", 101, 100},
};

}  // namespace

bool isValidPortNumber(int portNumber) {
  return portNumber >= kFirstPortNumber && portNumber <= kLastPortNumber;
}

int portNumberForKernelName(std::string_view kernelName) {
  for (const auto& block : kBlocks) {
    if (!kernelName.starts_with(block.prefix)) continue;
    std::string_view digits = kernelName.substr(block.prefix.size());
    // Only plain decimal numbers: "ttyACM01" or "ttyACM+1" are other names.
    if (digits.empty() || (digits.size() > 1 && digits[0] == '0')) return 0;
    int k = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), k);
    if (ec != std::errc() || end != digits.data() + digits.size()) return 0;
    if (k < 0 || k >= block.count) return 0;
    return block.first + k;
  }
  return 0;
}

std::string kernelNameForPortNumber(int portNumber) {
  for (const auto& block : kBlocks) {
    if (portNumber >= block.first && portNumber < block.first + block.count)
      return std::string(block.prefix) + std::to_string(portNumber - block.first);
  }
  return {};
}

std::string devicePathForPort(int portNumber) {
  if (!isValidPortNumber(portNumber)) return {};
  if (auto entry = ExplicitPorts::instance().find(portNumber)) return entry->devicePath;
  std::string kernelName = kernelNameForPortNumber(portNumber);
  return kernelName.empty() ? std::string() : "/dev/" + kernelName;
}

std::string portDisplayName(int portNumber) {
  if (!isValidPortNumber(portNumber)) return {};
  if (auto entry = ExplicitPorts::instance().find(portNumber)) return entry->displayName;
  return kernelNameForPortNumber(portNumber);
}

std::string deviceDisplayName(std::string_view devicePath) {
  constexpr std::string_view kDev = "/dev/";
  if (devicePath.starts_with(kDev) && devicePath.size() > kDev.size())
    return std::string(devicePath.substr(kDev.size()));
  return std::string(devicePath);
}

}  // namespace lmv
