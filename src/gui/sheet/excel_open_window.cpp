#include "sheet/excel_open_window.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QRadioButton>

#include "dialog_controls.h"
#include "sheet/excel_open_dialog.h"

namespace lmv::gui {

ExcelOpenWindow::ExcelOpenWindow(QWidget* parent, ExcelOpenDialog& logic) : QDialog(parent), logic_(logic) {
  prepareDialog(this, kExcelOpenDialog, dialogSize(150, 66));
  const int d = kExcelOpenDialog;
  auto* newFile = control<QRadioButton>(this, d, kNewFileRadio, dialogRect(10, 10, 130, 10));
  auto* editFile = control<QRadioButton>(this, d, kEditFileRadio, dialogRect(10, 24, 130, 10));
  auto* ok = control<QPushButton>(this, d, kExcelOpenOk, dialogRect(36, 44, 50, 15));
  auto* cancel = control<QPushButton>(this, d, kExcelOpenCancel, dialogRect(92, 44, 50, 15));
  ok->setDefault(true);
  connect(newFile, &QRadioButton::clicked, this, [this] { logic_.onNewFile(); });
  connect(editFile, &QRadioButton::clicked, this, [this] { logic_.onEditFile(); });
  connect(ok, &QPushButton::clicked, this, [this] { logic_.onOk(); });
  connect(cancel, &QPushButton::clicked, this, [this] { logic_.onCancel(); });
}

void ExcelOpenWindow::reject() { logic_.onCancel(); }

void ExcelOpenWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  logic_.onCancel();
}

}  // namespace lmv::gui
