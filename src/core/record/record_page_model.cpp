#include "record/record_page_model.h"

#include <utility>

namespace lmv {

void RecordPageModel::clear() {
  rows_.clear();
  selected_ = -1;
  if (observer_) observer_->rowsReset();
}

void RecordPageModel::append(RecordRow row) {
  rows_.push_back(std::move(row));
  if (observer_) observer_->rowAppended(rowCount() - 1);
  select(rowCount() - 1);
}

void RecordPageModel::removeLast() {
  if (rows_.empty()) return;
  rows_.pop_back();
  const int removed = rowCount();
  if (selected_ >= removed) selected_ = -1;
  if (observer_) observer_->rowRemoved(removed);
}

void RecordPageModel::replace(std::vector<RecordRow> rows) {
  rows_ = std::move(rows);
  selected_ = -1;
  if (observer_) observer_->rowsReset();
  select(rowCount() - 1);
}

void RecordPageModel::select(int row) {
  selected_ = row;
  if (observer_) observer_->selectionChanged(row);
}

}  // namespace lmv
