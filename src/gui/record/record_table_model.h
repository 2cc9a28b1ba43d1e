#pragma once
// The record list page's rows as a Qt table model over the core's page
// model. The core tells its observer after a row was added or removed, while
// Qt's views must be told before and after; so this model keeps its own row
// count, changed only between the begin and end calls, and everything a view
// asks in between is answered from that count.
#include <QAbstractTableModel>
#include <QString>
#include <array>

#include "record/record_page_model.h"

namespace lmv::gui {

class RecordTableModel final : public QAbstractTableModel, private RecordPageObserver {
  Q_OBJECT
 public:
  // Observes page for its lifetime.
  explicit RecordTableModel(RecordPageModel& page, QObject* parent = nullptr);
  ~RecordTableModel() override;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  // Column headings (entries 41, 42 and 43).
  void setHeadings(const QString& time, const QString& value, const QString& over);

 signals:
  // The page selected this row and wants it visible; -1: no selection.
  void rowSelected(int row);

 private:
  void rowsReset() override;
  void rowAppended(int row) override;
  void rowRemoved(int row) override;
  void selectionChanged(int row) override;

  RecordPageModel& page_;
  int rows_ = 0;
  std::array<QString, 3> headings_;
};

}  // namespace lmv::gui
