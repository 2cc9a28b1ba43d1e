#include "monitor/format_value.h"

#include <algorithm>

#include "monitor/range_table.h"
#include "monitor/value_codes.h"

namespace lmv {
namespace {

// Inserting beyond the end appends, so an unexpected reference text can
// misplace the symbol but never reads or writes outside the text.
void insertAt(std::string& s, long pos, std::string_view what) {
  pos = std::clamp<long>(pos, 0, static_cast<long>(s.size()));
  s.insert(static_cast<size_t>(pos), what);
}

}  // namespace

std::string formatValue(std::string_view valueText, std::string_view referenceText, ValueKind kind,
                        int32_t rangeIndex, int32_t unitCode, std::string_view decimalSymbol) {
  const int p = rangeTableIndex(rangeIndex, unitCode);
  const long d = rangeDecimals[p];
  const bool neg = !referenceText.empty() && referenceText.front() == '-';
  std::string out;
  switch (kind) {
    case ValueKind::Over:
      out = neg ? "-" : "";
      out += rangeFullScale[p];
      if (d > 0) insertAt(out, static_cast<long>(out.size()) - d, decimalSymbol);
      return out;
    case ValueKind::NoValue:
      out = "----";
      if (d > 0) insertAt(out, 4 - d, decimalSymbol);
      return out;
    case ValueKind::NoSensor:
      return "n.c.  ";
    case ValueKind::Normal:
      break;
  }
  out = std::string(valueText);
  if (d == 0) return out;
  long n = static_cast<long>(referenceText.size()) - (neg ? 1 : 0);
  if (d - n + 1 >= 1) {
    insertAt(out, neg ? 1 : 0, std::string(static_cast<size_t>(d - n + 1), '0'));
    n = d + 1;
  }
  insertAt(out, n + (neg ? 1 : 0) - d, decimalSymbol);
  return out;
}

ValueKind storedValueKind(int32_t valueCode) {
  switch (valueCode) {
    case CodeOver:
    case CodeOverNegative:
      return ValueKind::Over;
    case CodeNoValue:
      return ValueKind::NoValue;
    case CodeNotConnected:
      return ValueKind::NoSensor;
    default:
      return ValueKind::Normal;
  }
}

std::string formatStoredValue(int32_t valueCode, int32_t rangeIndex, int32_t unitCode,
                              std::string_view decimalSymbol) {
  const std::string text = std::to_string(valueCode);
  return formatValue(text, text, storedValueKind(valueCode), rangeIndex, unitCode, decimalSymbol);
}

}  // namespace lmv
