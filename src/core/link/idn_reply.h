#pragma once
// Reading the meter's identity from its replies.
#include <optional>
#include <string>
#include <string_view>

#include "link/meter_identity.h"

namespace lmv {

// Oldest firmware the program works with.
inline constexpr char kMinimumFirmwareVersion[] = "0.24";

// Model index of the second "QPID" reply: 0 for "LX5810", 1 for "LX5811",
// none for anything else.
std::optional<int32_t> modelIndexOfReply(std::string_view qpidReply);

// Serial number and firmware version from an "*IDN?" reply (maker, model,
// serial number, firmware field; the firmware field starts with an optional
// blank and a 4-character prefix that is skipped unread). With fewer than
// three commas the serial number stays empty and the version is taken from
// the third field.
struct IdnFields {
  std::string serialNumberText;     // at most 31 characters
  std::string firmwareVersionText;  // at most 14 characters
  bool operator==(const IdnFields&) const = default;
};
IdnFields parseIdnReply(std::string_view reply);

// A firmware version text of the form d.dd below "0.24". Missing characters
// count as code 0, so an empty text is too old.
bool firmwareTooOld(std::string_view firmwareVersionText);

}  // namespace lmv
