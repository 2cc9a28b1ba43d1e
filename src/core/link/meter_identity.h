#pragma once
#include <cstdint>
#include <string>

namespace lmv {

// The connected meter: model index (0 = LX5810, 1 = LX5811), serial number
// and firmware version as the meter reports them.
struct MeterIdentity {
  int32_t modelIndex = 0;
  std::string serialNumberText;
  std::string firmwareVersionText;
};

inline constexpr const char* kModelNames[] = {"LX5810", "LX5811"};

}  // namespace lmv
