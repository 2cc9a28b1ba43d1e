#include "record_side.h"

#include "monitor/format_value.h"
#include "monitor/range_table.h"
#include "monitor/value_codes.h"

namespace lmv::test {

void RecordSide::putValue(int32_t code, int32_t range, int32_t unit) {
  HandOverValue h;
  h.recordCopy.valueText = formatStoredValue(code, range, unit);
  h.recordCopy.unitText = std::string(rangeUnit[rangeTableIndex(range, unit)]);
  h.recordCopy.functionText = "LUX";
  h.recordCopy.rangeText = std::string(rangeLabel(range, unit));
  h.recordCopy.overMark = isOverCode(code) ? 1 : 0;
  h.pasteCopy = h.recordCopy;
  h.valueCode = code;
  h.rangeIndex = range;
  h.unitCode = unit;
  handOver.put(h);
}

_RECORD_DATA storedSample(int32_t value, int32_t range, int seconds) {
  _RECORD_DATA r;
  r.nValue = value;
  r.nRange = range;
  r.setDtTime(oleDateFromFields({2014, 7, 7, 9 + seconds / 3600, (seconds / 60) % 60, seconds % 60}));
  return r;
}

}  // namespace lmv::test
