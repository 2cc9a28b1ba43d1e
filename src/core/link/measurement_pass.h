#pragma once
// What one measurement pass makes of the meter's three replies: the status
// flags, the range label and index, the combo box refills, the value with the
// range-mismatch and no-sensor rules, and the "----" fallback. Everything
// here is free of I/O; the measurement thread feeds it the replies and a
// panel that shows the results.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/hand_over.h"
#include "link/measurement_block.h"
#include "link/serial_port.h"
#include "monitor/measured_value.h"

namespace lmv {

// The monitor panel controls a pass writes, in the order it writes them.
class MonitorPanel {
 public:
  virtual ~MonitorPanel() = default;
  virtual void showRangeLabel(std::string_view label) = 0;  // 1008
  // Mode combo 1009 gets the function, range combo 1010 the six labels; both
  // selections are stored.
  virtual void fillCombos(std::string_view function, const std::vector<std::string>& rangeLabels,
                          int32_t rangeSelection) = 0;
  virtual void selectRange(int32_t selection) = 0;  // 1010, selection stored
  virtual void showValue(std::string_view text) = 0;  // 1004
  virtual void showUnit(std::string_view text) = 0;   // 1012 ("FC" in the foot-candle font)
};

struct PassReplies {
  std::string status;       // ":STAT?"
  std::string measurement;  // ":MEASCNTDISP?"
  std::string range;        // ":SYST:RANGE?"
};

// The value a pass builds.
struct PassValue {
  MeasuredValue value;
  std::string pasteFunctionText;  // function text of the spreadsheet copy
  int32_t valueCode = 0;
};

// Decodes the 12 status characters: 1 where a character is not '0', except
// position 5, which keeps its digit value. A reply shorter than 12
// characters is not decoded (false, status untouched).
bool decodeStatus(std::string_view reply, std::array<int32_t, kStatusLength>& status);

// The label of the meter's range word in the current unit; words the program
// does not know keep their text apart from the "k" expansions.
std::string rangeLabelForReply(std::string_view rangeReply, bool footCandle);

// Display digits, count and 0-based range number of a ":MEASCNTDISP?" reply.
// A field longer than 30 characters, or a reply with fewer than two commas,
// gives the values that can never match the current range.
struct MeasurementFields {
  std::string display;
  std::string count;
  std::string rangeNumber;
  bool operator==(const MeasurementFields&) const = default;
};
MeasurementFields splitMeasurementReply(std::string_view reply);

// Optional blanks and sign, then leading decimal digits; 0 when there are
// none; saturates at the int32 limits.
int32_t leadingInteger(std::string_view text);

enum class ReplyVerdict {
  ValueShown,     // a good pass: the failure count goes back to 0
  NotRecognised,  // "CMD ERR", an unknown range word or a short status: "----", not counted
};

// Steps after the three exchanges succeeded. Updates b and out and writes the
// panel; the caller then runs applyFallbackIfNeeded.
ReplyVerdict interpretReplies(MeasurementBlock& b, const PassReplies& replies, PassValue& out,
                              MonitorPanel& panel);

// A pass without a usable value shows "----" with the decimal point of the
// current range and hands over value code 2000000.
bool needsFallback(const PassValue& out);
void applyFallback(MeasurementBlock& b, PassValue& out, MonitorPanel& panel);
inline void applyFallbackIfNeeded(MeasurementBlock& b, PassValue& out, MonitorPanel& panel) {
  if (needsFallback(out)) applyFallback(b, out, panel);
}

// A failed exchange counts; every fourth failure in a row is reported (and
// the count starts again): an overflow as a buffer overrun, a command that
// could not be sent as such, anything else as no response.
enum class FailureReport { None, BufferOver, CommandNotSent, NoResponse };
FailureReport countFailure(LinkResult failure, int32_t& consecutiveErrors);

// What the hand-over area receives from a pass.
HandOverValue makeHandOver(const MeasurementBlock& b, const PassValue& out);

// A running recording stops when the function changed since the last
// hand-over or when no status has been received.
bool recordingMustStopAtHandOver(const MeasurementBlock& b, int32_t previousFunctionIndex);

}  // namespace lmv
