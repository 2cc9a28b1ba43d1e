#include "record/record_table_model.h"

namespace lmv::gui {

RecordTableModel::RecordTableModel(RecordPageModel& page, QObject* parent)
    : QAbstractTableModel(parent), page_(page), rows_(page.rowCount()) {
  page_.setObserver(this);
}

RecordTableModel::~RecordTableModel() { page_.setObserver(nullptr); }

int RecordTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int RecordTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_ || index.row() >= page_.rowCount()) return {};
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
  if (role != Qt::DisplayRole) return {};
  const RecordRow& row = page_.rows()[static_cast<size_t>(index.row())];
  switch (index.column()) {
    case 0:
      return QString::fromStdString(row.timeText);
    case 1:
      return QString::fromStdString(row.valueText);
    case 2:
      return QString::fromStdString(row.overText);
    default:
      return {};
  }
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section > 2) return {};
  if (role == Qt::DisplayRole) return headings_[static_cast<size_t>(section)];
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
  return {};
}

void RecordTableModel::setHeadings(const QString& time, const QString& value, const QString& over) {
  headings_ = {time, value, over};
  emit headerDataChanged(Qt::Horizontal, 0, 2);
}

void RecordTableModel::rowsReset() {
  beginResetModel();
  rows_ = page_.rowCount();
  endResetModel();
}

void RecordTableModel::rowAppended(int row) {
  if (row != rows_) {  // not the next row: start over from what the page holds
    rowsReset();
    return;
  }
  beginInsertRows(QModelIndex(), row, row);
  rows_ = row + 1;
  endInsertRows();
}

void RecordTableModel::rowRemoved(int row) {
  if (row != rows_ - 1) {
    rowsReset();
    return;
  }
  beginRemoveRows(QModelIndex(), row, row);
  rows_ = row;
  endRemoveRows();
  // A view moves its selection to a neighbour of a removed row; the page
  // leaves none when the selected row went.
  if (page_.selectedRow() < 0) emit rowSelected(-1);
}

void RecordTableModel::selectionChanged(int row) { emit rowSelected(row); }

}  // namespace lmv::gui
