#pragma once
// One recorded sample and the store of all samples. The record file writes
// each sample byte for byte as this struct lies in memory, so its layout is
// fixed: 32 bytes, little-endian, the time as status then day count.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "base/ole_date.h"

namespace lmv {

struct _RECORD_DATA {
  int32_t nFunction = 0;  // always 0, "LUX"
  int32_t nValue = 0;     // value code
  int32_t nRange = 0;     // range index 0..5
  int32_t dtTimeStatus = OleDate::Valid;
  double dtTimeDays = 0.0;  // days since 1899-12-30 00:00 local time
  int32_t nUnit = 0;        // 1 = foot-candle, 0 = lux
  int32_t nReserved = 0;    // always 0

  OleDate dtTime() const { return {dtTimeDays, dtTimeStatus}; }
  void setDtTime(const OleDate& time) {
    dtTimeDays = time.value;
    dtTimeStatus = time.status;
  }
  bool operator==(const _RECORD_DATA&) const = default;
};

static_assert(sizeof(_RECORD_DATA) == 32);
static_assert(std::is_trivially_copyable_v<_RECORD_DATA> && std::is_standard_layout_v<_RECORD_DATA>);
static_assert(offsetof(_RECORD_DATA, nFunction) == 0 && offsetof(_RECORD_DATA, nValue) == 4 &&
              offsetof(_RECORD_DATA, nRange) == 8 && offsetof(_RECORD_DATA, dtTimeStatus) == 12 &&
              offsetof(_RECORD_DATA, dtTimeDays) == 16 && offsetof(_RECORD_DATA, nUnit) == 24 &&
              offsetof(_RECORD_DATA, nReserved) == 28);
static_assert(sizeof(double) == 8 && std::endian::native == std::endian::little);

// Element 0 is the oldest sample; changed only at its end or emptied whole.
using RecordArray = std::vector<_RECORD_DATA>;

}  // namespace lmv
