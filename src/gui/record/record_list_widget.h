#pragma once
// The record list page (template 140): one page of at most 1000 samples in a
// table, Previous, Next and Jump with the page texts, and the MAX and MIN
// lines of the current run. The core's RecordListPage drives it: rows through
// the table model, texts and enabled states through the user-interface host,
// which finds the controls by their ids.
#include <QWidget>

#include "record/record_list.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace lmv {
class LanguageTable;
}

namespace lmv::gui {

class RecordTableModel;

class RecordListWidget final : public QWidget {
  Q_OBJECT
 public:
  // The page must outlive the widget.
  explicit RecordListWidget(RecordListPage& page, QWidget* parent = nullptr);

  // Column headings, button captions and the "LUX" label.
  void applyTexts(const LanguageTable& texts);

  QTableView* table() const { return table_; }
  RecordTableModel* tableModel() const { return model_; }

 private:
  void setColumnWidths();

  RecordListPage& page_;
  RecordTableModel* model_;
  QTableView* table_;
  QPushButton* previous_;
  QPushButton* next_;
  QPushButton* jump_;
  QLineEdit* pageText_;
  QLineEdit* pageNumber_;
  QLabel* luxLabel_;
};

}  // namespace lmv::gui
