#include "link/measurement_pass.h"

#include <limits>

#include "monitor/format_value.h"
#include "monitor/range_table.h"
#include "monitor/value_codes.h"

namespace lmv {
namespace {

constexpr size_t kMaxFieldLength = 30;
constexpr std::string_view kCommandError = "CMD ERR";

void replaceAll(std::string& s, std::string_view from, std::string_view to) {
  for (size_t pos = s.find(from); pos != std::string::npos; pos = s.find(from, pos + to.size())) {
    s.replace(pos, from.size(), to);
  }
}

ValueKind kindOf(const MeasurementBlock& b) {
  if (b.overFlag) return ValueKind::Over;
  if (b.invalidValueFlag) return ValueKind::NoValue;
  if (b.status[StatusSensor] == 0) return ValueKind::NoSensor;
  return ValueKind::Normal;
}

}  // namespace

bool decodeStatus(std::string_view reply, std::array<int32_t, kStatusLength>& status) {
  if (reply.size() < static_cast<size_t>(kStatusLength)) return false;
  for (int i = 0; i < kStatusLength; ++i) {
    const char ch = reply[static_cast<size_t>(i)];
    if (i == StatusDigit) {
      status[i] = (ch >= '0' && ch <= '9') ? ch - '0' : 0;
    } else {
      status[i] = ch != '0' ? 1 : 0;
    }
  }
  return true;
}

std::string rangeLabelForReply(std::string_view rangeReply, bool footCandle) {
  std::string label(rangeReply);
  if (footCandle) {
    if (rangeReply == "20") {
      label = "2";
    } else if (rangeReply == "200") {
      label = "20";
    }
    replaceAll(label, "2k", "200");
    replaceAll(label, "20k", "2000");
    replaceAll(label, "200k", "20000");
  } else {
    replaceAll(label, "2k", "2000");
    replaceAll(label, "20k", "20000");
    replaceAll(label, "200k", "200000");
  }
  return label;
}

MeasurementFields splitMeasurementReply(std::string_view reply) {
  const size_t first = reply.find(',');
  const size_t second = first == std::string_view::npos ? first : reply.find(',', first + 1);
  if (second == std::string_view::npos) return {"0", "0", "100"};
  MeasurementFields f{std::string(reply.substr(0, first)), std::string(reply.substr(first + 1, second - first - 1)),
                      std::string(reply.substr(second + 1))};
  if (f.display.size() > kMaxFieldLength) return {"0", "0", "100"};
  if (f.count.size() > kMaxFieldLength) return {f.display, "0", "100"};
  if (f.rangeNumber.size() > kMaxFieldLength) f.rangeNumber = "100";
  return f;
}

int32_t leadingInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool neg = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) neg = text[i++] == '-';
  int64_t v = 0;
  constexpr int64_t limit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    v = v * 10 + (text[i] - '0');
    if (v > limit) v = limit;
  }
  if (neg) v = -v;
  if (v > std::numeric_limits<int32_t>::max()) v = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(v);
}

ReplyVerdict interpretReplies(MeasurementBlock& b, const PassReplies& replies, PassValue& out,
                              MonitorPanel& panel) {
  if (!decodeStatus(replies.status, b.status)) return ReplyVerdict::NotRecognised;
  b.statusInvalid = 0;
  const int32_t unit = b.status[StatusUnit];
  const bool footCandle = unit == UnitFootCandle;

  const std::string label = rangeLabelForReply(replies.range, footCandle);
  panel.showRangeLabel(label);
  out.value.rangeText = replies.range;
  out.value.functionText = std::string(kFunctionText);

  const int index = findMeterRangeToken(replies.range);
  if (index < 0) {
    b.rangeIndex = 0;
    return ReplyVerdict::NotRecognised;
  }
  b.rangeIndex = index;
  int32_t sel = index;
  if (replies.status[StatusAutoRange] == '1') {
    b.autoRange = 1;
    sel = 0;
  } else {
    b.autoRange = 0;
  }
  if (b.functionIndex != b.shownFunctionIndex || b.functionChangeRequest != 0) {
    const auto& labels = footCandle ? rangeLabelFootCandle : rangeLabelLux;
    panel.fillCombos(kFunctionText, std::vector<std::string>(labels.begin(), labels.end()), sel);
    b.shownFunctionIndex = b.functionIndex;
    b.shownRangeIndex = sel;
  } else if (sel != b.shownRangeIndex) {
    panel.selectRange(sel);
    b.shownRangeIndex = sel;
  }
  out.value.rangeText = label;
  out.pasteFunctionText = std::string(kFunctionText);

  if (replies.measurement.substr(0, kCommandError.size()) == kCommandError) {
    out.value.valueText = "Error";
    panel.showValue(out.value.valueText);
    return ReplyVerdict::NotRecognised;
  }
  const MeasurementFields fields = splitMeasurementReply(replies.measurement);
  int32_t c = leadingInteger(fields.count);
  const int32_t rangeNumber = leadingInteger(fields.rangeNumber);
  b.replyRangeIndex = rangeNumber == std::numeric_limits<int32_t>::max() ? rangeNumber : rangeNumber + 1;
  std::string valueText = fields.count;
  if (b.rangeIndex != b.replyRangeIndex) {
    // The value belongs to another range: a range change is in progress.
    valueText = "2000000";
    c = CodeNoValue;
  }
  int32_t over = 0;
  if (b.status[StatusSensor] == 0) {
    valueText = "3000000";
    c = CodeNotConnected;
  } else {
    over = isOverCode(c) ? 1 : 0;
  }
  b.overFlag = over;
  out.value.overMark = over;
  b.invalidValueFlag = c == CodeNoValue ? 1 : 0;
  out.valueCode = c;
  out.value.valueText = formatValue(valueText, fields.display, kindOf(b), b.rangeIndex, unit, ".");
  panel.showValue(out.value.valueText);
  out.value.unitText = std::string(rangeUnit[rangeTableIndex(b.rangeIndex, unit)]);
  panel.showUnit(out.value.unitText);
  return ReplyVerdict::ValueShown;
}

bool needsFallback(const PassValue& out) {
  return out.value.valueText.empty() || out.value.valueText == "Error";
}

void applyFallback(MeasurementBlock& b, PassValue& out, MonitorPanel& panel) {
  const int32_t unit = b.status[StatusUnit];
  out.value.functionText = std::string(kFunctionText);
  out.pasteFunctionText = std::string(kFunctionText);
  out.valueCode = CodeNoValue;
  b.invalidValueFlag = 1;
  b.overFlag = 0;
  out.value.overMark = 0;
  out.value.valueText = formatStoredValue(CodeNoValue, b.rangeIndex, unit);
  panel.showValue(out.value.valueText);
  out.value.unitText = unit == UnitFootCandle ? "FC" : "lx";
  panel.showUnit(out.value.unitText);
}

FailureReport countFailure(LinkResult failure, int32_t& consecutiveErrors) {
  if (++consecutiveErrors <= 3) return FailureReport::None;
  consecutiveErrors = 0;
  if (failure == LineOverflow) return FailureReport::BufferOver;
  return failure == SendFailed ? FailureReport::CommandNotSent : FailureReport::NoResponse;
}

HandOverValue makeHandOver(const MeasurementBlock& b, const PassValue& out) {
  HandOverValue h;
  h.recordCopy = out.value;
  h.recordCopy.reservedFlag = 0;
  h.pasteCopy = h.recordCopy;
  h.pasteCopy.functionText = out.pasteFunctionText;
  h.functionIndex = b.functionIndex;
  h.valueCode = out.valueCode;
  h.rangeIndex = b.rangeIndex;
  h.unitCode = b.status[StatusUnit];
  h.reserved = 0;
  return h;
}

bool recordingMustStopAtHandOver(const MeasurementBlock& b, int32_t previousFunctionIndex) {
  return b.functionIndex != previousFunctionIndex || b.statusInvalid != 0;
}

}  // namespace lmv
