// One measurement pass on the meter's replies to ":STAT?", ":MEASCNTDISP?"
// and ":SYST:RANGE?": any three lines are decoded, shown and handed over
// without fault, and the value handed over is one the store can take.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "link/measurement_pass.h"
#include "monitor/range_table.h"

namespace {

class NullPanel : public lmv::MonitorPanel {
 public:
  void showRangeLabel(std::string_view) override {}
  void fillCombos(std::string_view, const std::vector<std::string>& labels, int32_t selection) override {
    if (selection < 0 || static_cast<size_t>(selection) >= labels.size()) std::abort();
  }
  void selectRange(int32_t selection) override {
    if (selection < 0 || selection > 5) std::abort();
  }
  void showValue(std::string_view) override {}
  void showUnit(std::string_view) override {}
};

// The input is the block's previous state in its first byte, then the three
// replies separated by line feeds.
std::string_view nextLine(std::string_view& rest) {
  const size_t end = rest.find('\n');
  const std::string_view line = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
  return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  lmv::MeasurementBlock b;
  const uint8_t flags = data[0];
  b.statusInvalid = flags & 1;
  b.functionChangeRequest = (flags >> 1) & 1;
  b.shownFunctionIndex = (flags >> 2) & 1 ? 0 : -1;
  b.shownRangeIndex = (flags >> 3) % 7 - 1;
  b.rangeIndex = (flags >> 5) % 6;
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  lmv::PassReplies replies;
  replies.status = std::string(nextLine(rest));
  replies.measurement = std::string(nextLine(rest));
  replies.range = std::string(rest);

  NullPanel panel;
  lmv::PassValue out;
  (void)lmv::interpretReplies(b, replies, out, panel);
  lmv::applyFallbackIfNeeded(b, out, panel);
  if (b.rangeIndex < 0 || b.rangeIndex > 5) std::abort();
  const lmv::HandOverValue handOver = lmv::makeHandOver(b, out);
  if (handOver.rangeIndex < 0 || handOver.rangeIndex > 5) std::abort();
  (void)lmv::recordingMustStopAtHandOver(b, 0);
  (void)lmv::leadingInteger(replies.measurement);
  (void)lmv::rangeLabelForReply(replies.range, (flags & 0x80) != 0);
  return 0;
}
