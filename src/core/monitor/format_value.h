#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace lmv {

enum class ValueKind { Normal, Over, NoValue, NoSensor };

// Turns a reading into its display text. valueText holds the digits to show,
// referenceText gives the sign and the digit count (the monitor passes the
// meter's display field; stored values pass the value code for both).
std::string formatValue(std::string_view valueText, std::string_view referenceText, ValueKind kind,
                        int32_t rangeIndex, int32_t unitCode, std::string_view decimalSymbol);

// The kind a stored value code stands for.
ValueKind storedValueKind(int32_t valueCode);

// formatValue in its stored-value form: the value code printed with "%d" is
// both value and reference text.
std::string formatStoredValue(int32_t valueCode, int32_t rangeIndex, int32_t unitCode,
                              std::string_view decimalSymbol = ".");

}  // namespace lmv
