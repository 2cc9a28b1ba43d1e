#include "meter_replies.h"

namespace lmv::sim::replies {

std::string identification(std::string_view model, std::string_view serialNumber,
                           std::string_view firmwareVersion) {
  std::string line(kMaker);
  line += ',';
  line += model;
  line += ',';
  line += serialNumber;
  line += ',';
  line += kFirmwarePrefix;
  line += firmwareVersion;
  return line;
}

std::string measurement(std::string_view displayDigits, int32_t count, int rangeNumber) {
  return std::string(displayDigits) + "," + std::to_string(count) + "," + std::to_string(rangeNumber);
}

}  // namespace lmv::sim::replies
