#include "link/port_list.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>

#include "link/port_numbering.h"

namespace lmv {

std::atomic<int32_t> currentPort{kNoPort};
std::atomic<int32_t> currentBaud{19200};

void PortList::replace(std::vector<_COM_LIST> entries) {
  std::lock_guard lock(mutex_);
  entries_ = std::move(entries);
}

std::vector<_COM_LIST> PortList::snapshot() const {
  std::lock_guard lock(mutex_);
  return entries_;
}

size_t PortList::size() const {
  std::lock_guard lock(mutex_);
  return entries_.size();
}

bool PortList::empty() const {
  std::lock_guard lock(mutex_);
  return entries_.empty();
}

std::optional<_COM_LIST> PortList::findByNumber(int32_t portNumber) const {
  std::lock_guard lock(mutex_);
  for (const auto& e : entries_)
    if (e.portNumber == portNumber) return e;
  return std::nullopt;
}

PortList& portList() {
  static PortList list;
  return list;
}

int32_t firstPortOrNone(const std::vector<_COM_LIST>& entries) {
  return entries.empty() ? kNoPort : entries.front().portNumber;
}

namespace {

std::string property(const TtyDevice& device, const std::string& name) {
  auto it = device.properties.find(name);
  return it == device.properties.end() ? std::string() : it->second;
}

// udev's *_ENC values escape blanks and unsafe bytes as \xNN.
std::string decodeUdevString(std::string_view encoded) {
  std::string out;
  for (size_t i = 0; i < encoded.size(); ++i) {
    if (encoded[i] == '\\' && i + 3 < encoded.size() && encoded[i + 1] == 'x' &&
        std::isxdigit(static_cast<unsigned char>(encoded[i + 2])) &&
        std::isxdigit(static_cast<unsigned char>(encoded[i + 3]))) {
      out.push_back(static_cast<char>(std::stoi(std::string(encoded.substr(i + 2, 2)), nullptr, 16)));
      i += 3;
    } else {
      out.push_back(encoded[i]);
    }
  }
  return out;
}

std::string trimmed(std::string text) {
  auto blank = [](unsigned char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.back())) text.pop_back();
  size_t start = 0;
  while (start < text.size() && blank(text[start])) ++start;
  return text.substr(start);
}

std::string underscoresAsBlanks(std::string text) {
  std::replace(text.begin(), text.end(), '_', ' ');
  return text;
}

}  // namespace

std::string friendlyNameFor(const TtyDevice& device) {
  const std::string candidates[][2] = {
      {trimmed(decodeUdevString(property(device, "ID_VENDOR_ENC"))),
       trimmed(decodeUdevString(property(device, "ID_MODEL_ENC")))},
      {trimmed(underscoresAsBlanks(property(device, "ID_VENDOR"))),
       trimmed(underscoresAsBlanks(property(device, "ID_MODEL")))},
      {trimmed(device.usbManufacturer), trimmed(device.usbProduct)},
      {trimmed(property(device, "ID_VENDOR_FROM_DATABASE")),
       trimmed(property(device, "ID_MODEL_FROM_DATABASE"))},
  };
  std::string vendor, model;
  for (const auto& c : candidates)
    if (vendor.empty()) vendor = c[0];
  for (const auto& c : candidates)
    if (model.empty()) model = c[1];
  std::string name = vendor;
  if (!model.empty()) name += (name.empty() ? "" : " ") + model;
  if (name.empty()) name = "Serial port";
  return name + " (" + device.kernelName + ")";
}

bool isMeterPortName(std::string_view friendlyName) {
  return friendlyName.find("LX5810") != std::string_view::npos;
}

int32_t parsePortNumber(std::string_view friendlyName) {
  size_t open = friendlyName.rfind('(');
  if (open == std::string_view::npos) return 0;
  size_t close = friendlyName.find(')', open);
  if (close == std::string_view::npos) return 0;
  return portNumberForKernelName(friendlyName.substr(open + 1, close - open - 1));
}

std::vector<_COM_LIST> buildPortList(const std::vector<TtyDevice>& devices,
                                     const std::vector<ExplicitPort>& explicitPorts) {
  std::vector<_COM_LIST> list;
  auto listed = [&](int32_t n) {
    return std::any_of(list.begin(), list.end(), [n](const _COM_LIST& e) { return e.portNumber == n; });
  };
  for (const auto& device : devices) {
    if (device.devNode.empty()) continue;
    std::string name = friendlyNameFor(device);
    if (!isMeterPortName(name)) continue;
    int32_t number = parsePortNumber(name);
    if (number == 0 || listed(number)) continue;
    list.push_back({name, number, device.devNode});
  }
  for (const auto& port : explicitPorts) {
    if (port.portNumber == 0 || listed(port.portNumber)) continue;
    list.push_back({port.friendlyName, port.portNumber, port.devicePath});
  }
  return list;
}

std::vector<_COM_LIST> enumeratePorts() {
  auto& registry = ExplicitPorts::instance();
  registry.addFromEnvironment();
  std::vector<ExplicitPort> present;
  for (auto& port : registry.entries())
    if (::access(port.devicePath.c_str(), F_OK) == 0) present.push_back(std::move(port));
  auto list = buildPortList(listTtyDevices(), present);
  portList().replace(list);
  return list;
}

}  // namespace lmv
