#pragma once
// The record list page: the store shown 1000 rows a page, with Previous,
// Next and Jump, and the MAX and MIN lines of the current run.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "base/ole_date.h"
#include "ui/ui_host.h"
#include "monitor/measured_value.h"
#include "record/record_page_model.h"
#include "record/record_store.h"

namespace lmv {

inline constexpr int kRowsPerPage = 1000;
inline constexpr int kMaxCellCharacters = 31;
// Between a MAX/MIN line's time and its value.
inline constexpr std::string_view kExtremeLineGap = "     ";
// The integer check of the page-number edit box; the same in both languages.
inline constexpr std::string_view kIntegerRequiredText = "整数を入力してください。";

// A sample's time as the list shows it: relative to baseTime when
// timeDisplayMode is not 0, else absolute.
std::string recordTimeText(const OleDate& time, const OleDate& baseTime, int32_t timeDisplayMode);

// A stored sample as the row value the list shows ("." as decimal symbol).
MeasuredValue storedSampleValue(const _RECORD_DATA& sample, std::string timeText);

// The row for a value: time; value, blank, unit; "OVER" when overMark is set.
RecordRow recordRowOf(const MeasuredValue& value);

// Widths of the three columns for a list of the given client width.
struct RecordColumnWidths {
  int time, value, over;
};
RecordColumnWidths recordColumnWidths(int clientWidth);

class RecordListPage {
 public:
  RecordListPage(UiHost& host, const RecordStore& store, std::function<int32_t()> timeDisplayMode);

  RecordPageModel& model() { return model_; }
  const RecordPageModel& model() const { return model_; }

  int32_t pageCount() const { return pageCount_; }
  int32_t currentPage() const { return currentPage_; }
  int32_t lastPageRows() const { return lastPageRows_; }

  // Page initialisation: the page texts, paging controls off.
  void initialise();

  void addRecordRow(const MeasuredValue& value);
  // Fills the list with page p of the store; a page beyond the stored data
  // leaves the list as it is.
  void refreshRecordPage(int32_t page);
  void updatePageButtons(bool enable);
  void showPageNumber();
  void refreshMaxPanel();
  void refreshMinPanel();
  void setMaxLine(std::string_view timeText, std::string_view maxText);
  void setMinLine(std::string_view timeText, std::string_view minText);
  void clearExtremeLines();

  // Buttons. Each refills the list later, through the user-interface queue.
  void onPrevious();
  void onNext();
  // pageNumberText: the text of the page-number edit box.
  void onJump(std::string_view pageNumberText);

  // The paging step for a new sample, before its row is added.
  void advanceForNewSample(bool manual);
  // Start of a run: the four paging controls off.
  void disablePaging();
  // All records cleared: one empty page.
  void resetPaging();
  // The last record removed (the store already shrank).
  void removeLastRecord();
  // After the store was replaced (a record file was read): the last page.
  void showLastPage();

 private:
  void afterPageChange();
  std::string timeTextOf(const OleDate& time) const;

  UiHost& host_;
  const RecordStore& store_;
  std::function<int32_t()> timeDisplayMode_;
  RecordPageModel model_;
  int32_t pageCount_ = 1;
  int32_t currentPage_ = 1;
  int32_t lastPageRows_ = 0;
  int32_t lastJumpNumber_ = 0;  // last page number read successfully
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // for queued refills
};

}  // namespace lmv
