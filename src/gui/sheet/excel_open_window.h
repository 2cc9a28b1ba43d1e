#pragma once
// The question how to reach the spreadsheet (134): the office's document or
// a file to edit, OK and Cancel. Modal over the paste dialog.
#include <QDialog>

namespace lmv {
class ExcelOpenDialog;
}

namespace lmv::gui {

class ExcelOpenWindow : public QDialog {
  Q_OBJECT
 public:
  ExcelOpenWindow(QWidget* parent, ExcelOpenDialog& logic);

 protected:
  // Esc and the close box are Cancel.
  void reject() override;
  void closeEvent(QCloseEvent* event) override;

 private:
  ExcelOpenDialog& logic_;
};

}  // namespace lmv::gui
