#pragma once
// The program's version, as the window title, the settings file and the
// record file carry it.
#include <cstdint>

namespace lmv {

// "1.10" without the point.
inline constexpr int32_t kProgramVersionNumber = 110;

}  // namespace lmv
