#include "link/idn_reply.h"

#include <algorithm>

namespace lmv {
namespace {

// Replies are read into 72-byte buffers; no position search goes past 71.
constexpr size_t kLastPosition = 71;
constexpr size_t kSerialNumberLength = 31;
constexpr size_t kFirmwareLength = 14;
constexpr size_t kFirmwarePrefixLength = 4;

size_t afterNextComma(std::string_view s, size_t p) {
  while (p < kLastPosition && p < s.size() && s[p] != ',') ++p;
  if (p >= s.size()) return kLastPosition + 1;
  return p + 1;
}

}  // namespace

std::optional<int32_t> modelIndexOfReply(std::string_view qpidReply) {
  for (int32_t i = 0; i < 2; ++i) {
    if (qpidReply == kModelNames[i]) return i;
  }
  return std::nullopt;
}

IdnFields parseIdnReply(std::string_view reply) {
  IdnFields f;
  const auto commas = std::count(reply.begin(), reply.end(), ',');
  size_t p = afterNextComma(reply, 0);
  p = afterNextComma(reply, p);
  if (commas >= 3) {
    const size_t end = std::min(afterNextComma(reply, p), reply.size() + 1) - 1;
    if (p < end) f.serialNumberText = std::string(reply.substr(p, std::min(end - p, kSerialNumberLength)));
    p = end + 1;
  }
  if (p < reply.size() && reply[p] == ' ') ++p;
  p += kFirmwarePrefixLength;
  if (p < reply.size()) f.firmwareVersionText = std::string(reply.substr(p, kFirmwareLength));
  return f;
}

bool firmwareTooOld(std::string_view firmwareVersionText) {
  auto code = [&](size_t i) { return i < firmwareVersionText.size() ? static_cast<unsigned char>(firmwareVersionText[i]) : 0; };
  return 100 * code(0) + 10 * code(2) + code(3) < 5352;
}

}  // namespace lmv
