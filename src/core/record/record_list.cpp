#include "record/record_list.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <utility>

#include "monitor/format_value.h"
#include "monitor/range_table.h"
#include "monitor/value_codes.h"
#include "record/record_controls.h"
#include "record/time_text.h"

namespace lmv {
namespace {

// At most kMaxCellCharacters characters, cut at a character boundary.
std::string cellText(std::string text) {
  int characters = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;  // continuation byte
    if (characters == kMaxCellCharacters) {
      text.resize(i);
      break;
    }
    ++characters;
  }
  return text;
}

// The page number as the edit box's integer check reads it: blanks around
// an optional sign and decimal digits.
bool parsePageNumber(std::string_view text, int32_t& out) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  int32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return false;
  out = value;
  return true;
}

}  // namespace

std::string recordTimeText(const OleDate& time, const OleDate& baseTime, int32_t timeDisplayMode) {
  return timeDisplayMode != 0 ? relativeTimeText(time, baseTime) : absoluteTimeText(time);
}

MeasuredValue storedSampleValue(const _RECORD_DATA& sample, std::string timeText) {
  MeasuredValue v;
  v.timeText = std::move(timeText);
  v.valueText = formatStoredValue(sample.nValue, sample.nRange, sample.nUnit, ".");
  v.unitText = std::string(rangeUnit[rangeTableIndex(sample.nRange, sample.nUnit)]);
  v.functionText = std::string(kFunctionText);
  v.overMark = isOverCode(sample.nValue) ? 1 : 0;
  return v;
}

RecordRow recordRowOf(const MeasuredValue& value) {
  return RecordRow{cellText(value.timeText), cellText(value.valueText + " " + value.unitText),
                   value.overMark != 0 ? "OVER" : ""};
}

RecordColumnWidths recordColumnWidths(int clientWidth) {
  const int w = clientWidth - 20;
  const int time = static_cast<int>(0.35 * w);
  const int rest = (w - time) / 2;
  return {time, rest, rest};
}

RecordListPage::RecordListPage(UiHost& host, const RecordStore& store, std::function<int32_t()> timeDisplayMode)
    : host_(host), store_(store), timeDisplayMode_(std::move(timeDisplayMode)) {}

std::string RecordListPage::timeTextOf(const OleDate& time) const {
  return recordTimeText(time, store_.state.baseTime, timeDisplayMode_ ? timeDisplayMode_() : 0);
}

void RecordListPage::initialise() {
  showPageNumber();
  updatePageButtons(false);
}

void RecordListPage::addRecordRow(const MeasuredValue& value) { model_.append(recordRowOf(value)); }

void RecordListPage::refreshRecordPage(int32_t page) {
  const int64_t n = static_cast<int64_t>(store_.records.size());
  if (page <= 0 || n / kRowsPerPage + 1 < page) return;
  const int64_t first = (int64_t{page} - 1) * kRowsPerPage;
  const int64_t last = std::min(n, int64_t{page} * kRowsPerPage);
  std::vector<RecordRow> rows;
  rows.reserve(static_cast<size_t>(std::max<int64_t>(0, last - first)));
  for (int64_t i = first; i < last; ++i) {
    const _RECORD_DATA& sample = store_.records[static_cast<size_t>(i)];
    rows.push_back(recordRowOf(storedSampleValue(sample, timeTextOf(sample.dtTime()))));
  }
  model_.replace(std::move(rows));
}

void RecordListPage::updatePageButtons(bool enable) {
  const bool on = enable && pageCount_ > 1;
  host_.setEnabled(kRecordListPage, kPageNumberEdit, on);
  host_.setEnabled(kRecordListPage, kJumpButton, on);
  host_.setEnabled(kRecordListPage, kPreviousButton, on && currentPage_ > 1);
  host_.setEnabled(kRecordListPage, kNextButton, on && currentPage_ < pageCount_);
}

void RecordListPage::showPageNumber() {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%d/%d", static_cast<int>(currentPage_), static_cast<int>(pageCount_));
  host_.setText(kRecordListPage, kPageText, buf);
  std::snprintf(buf, sizeof buf, "%d", static_cast<int>(currentPage_));
  host_.setText(kRecordListPage, kPageNumberEdit, buf);
}

void RecordListPage::setMaxLine(std::string_view timeText, std::string_view maxText) {
  host_.setText(kRecordListPage, kMaxLine, std::string(timeText) + std::string(kExtremeLineGap) + std::string(maxText));
}

void RecordListPage::setMinLine(std::string_view timeText, std::string_view minText) {
  host_.setText(kRecordListPage, kMinLine, std::string(timeText) + std::string(kExtremeLineGap) + std::string(minText));
}

void RecordListPage::refreshMaxPanel() {
  const RecordState& s = store_.state;
  if (s.maxText.empty()) {
    host_.setText(kRecordListPage, kMaxLine, "");
  } else {
    setMaxLine(timeTextOf(s.maxTime), s.maxText);
  }
}

void RecordListPage::refreshMinPanel() {
  const RecordState& s = store_.state;
  if (s.minText.empty()) {
    host_.setText(kRecordListPage, kMinLine, "");
  } else {
    setMinLine(timeTextOf(s.minTime), s.minText);
  }
}

void RecordListPage::clearExtremeLines() {
  host_.setText(kRecordListPage, kMaxLine, "");
  host_.setText(kRecordListPage, kMinLine, "");
}

void RecordListPage::afterPageChange() {
  updatePageButtons(true);
  showPageNumber();
  const int32_t page = currentPage_;
  std::weak_ptr<bool> alive = alive_;
  host_.post([this, alive, page] {
    if (alive.lock()) refreshRecordPage(page);
  });
}

void RecordListPage::onPrevious() {
  if (currentPage_ > 1) --currentPage_;
  afterPageChange();
}

void RecordListPage::onNext() {
  if (currentPage_ < pageCount_) ++currentPage_;
  afterPageChange();
}

void RecordListPage::onJump(std::string_view pageNumberText) {
  int32_t n = 0;
  if (parsePageNumber(pageNumberText, n)) {
    lastJumpNumber_ = n;
  } else {
    MessageRequest box;
    box.text = std::string(kIntegerRequiredText);
    box.icon = MessageIcon::Warning;
    host_.showMessage(box);
    n = lastJumpNumber_;
  }
  currentPage_ = std::clamp(n, int32_t{1}, pageCount_);
  afterPageChange();
}

void RecordListPage::advanceForNewSample(bool manual) {
  if (currentPage_ != pageCount_) {
    currentPage_ = pageCount_;
    showPageNumber();
    refreshRecordPage(currentPage_);
    if (manual) updatePageButtons(true);
  }
  if (++lastPageRows_ > kRowsPerPage) {
    model_.clear();
    lastPageRows_ = 1;
    ++pageCount_;
    currentPage_ = pageCount_;
    showPageNumber();
    if (manual) updatePageButtons(true);
  }
}

void RecordListPage::disablePaging() { updatePageButtons(false); }

void RecordListPage::resetPaging() {
  model_.clear();
  lastPageRows_ = 0;
  pageCount_ = 1;
  currentPage_ = 1;
  updatePageButtons(false);
  showPageNumber();
}

void RecordListPage::removeLastRecord() {
  if (lastPageRows_ > 0) {
    --lastPageRows_;
    model_.removeLast();
    if (lastPageRows_ == 0 && pageCount_ > 1) {
      --pageCount_;
      currentPage_ = pageCount_;
      lastPageRows_ = kRowsPerPage;
      showPageNumber();
      updatePageButtons(true);
      refreshRecordPage(currentPage_);
    }
  }
  // The user was looking at an earlier page: its last row went above.
  if (currentPage_ != pageCount_) {
    currentPage_ = pageCount_;
    showPageNumber();
    updatePageButtons(true);
    refreshRecordPage(currentPage_);
  }
}

void RecordListPage::showLastPage() {
  const int64_t n = static_cast<int64_t>(store_.records.size());
  if (n == 0) {
    // An empty store is one empty page, not page 0 of 0.
    resetPaging();
    updatePageButtons(true);
    return;
  }
  const int64_t q = n / kRowsPerPage;
  const int64_t r = n % kRowsPerPage;
  pageCount_ = static_cast<int32_t>(r != 0 ? q + 1 : q);
  lastPageRows_ = static_cast<int32_t>(r != 0 ? r : kRowsPerPage);
  currentPage_ = pageCount_;
  showPageNumber();
  updatePageButtons(true);
  refreshRecordPage(currentPage_);
}

}  // namespace lmv
