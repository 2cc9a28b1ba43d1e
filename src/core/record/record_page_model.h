#pragma once
// The rows of the record list page that are on screen: one page, at most
// 1000 rows. The list control shows this model; an observer (the desktop
// program's list view) is told what changed instead of being driven cell by
// cell.
#include <string>
#include <vector>

namespace lmv {

// One sample as a list row: time, value with unit, "OVER" or empty.
struct RecordRow {
  std::string timeText;
  std::string valueText;
  std::string overText;
  bool operator==(const RecordRow&) const = default;
};

class RecordPageObserver {
 public:
  virtual ~RecordPageObserver() = default;
  virtual void rowsReset() = 0;                // every row replaced (or all deleted)
  virtual void rowAppended(int row) = 0;
  virtual void rowRemoved(int row) = 0;
  virtual void selectionChanged(int row) = 0;  // -1: none; the row is scrolled into view
};

class RecordPageModel {
 public:
  const std::vector<RecordRow>& rows() const { return rows_; }
  int rowCount() const { return static_cast<int>(rows_.size()); }
  int selectedRow() const { return selected_; }
  void setObserver(RecordPageObserver* observer) { observer_ = observer; }

  void clear();
  // Appends a row, selects it and scrolls it into view.
  void append(RecordRow row);
  void removeLast();
  // Replaces all rows at once; the last one ends selected and visible.
  void replace(std::vector<RecordRow> rows);

 private:
  void select(int row);

  std::vector<RecordRow> rows_;
  int selected_ = -1;
  RecordPageObserver* observer_ = nullptr;
};

}  // namespace lmv
