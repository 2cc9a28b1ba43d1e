#include "sheet/excel_open_dialog.h"

#include <utility>

namespace lmv {

ExcelOpenDialog::ExcelOpenDialog(UiHost& ui, const LanguageTable& texts) : ui_(ui), texts_(texts) {}

void ExcelOpenDialog::open(std::function<void(OpenMode)> chosen) {
  if (open_) return;
  chosen_ = std::move(chosen);
  ui_.setWindowTitle(kExcelOpenDialog, texts_.text(TextExcelOpenTitle));
  ui_.setText(kExcelOpenDialog, kNewFileRadio, texts_.text(TextNewFile));
  ui_.setText(kExcelOpenDialog, kEditFileRadio, texts_.text(TextEditFile));
  ui_.setText(kExcelOpenDialog, kExcelOpenOk, "OK");
  ui_.setText(kExcelOpenDialog, kExcelOpenCancel, texts_.text(TextCancel));
  openMode_ = OpenMode::NewOrRunning;
  ui_.setChecked(kExcelOpenDialog, kNewFileRadio, true);
  ui_.setChecked(kExcelOpenDialog, kEditFileRadio, false);
  open_ = true;
  ui_.openDialog(kExcelOpenDialog);
  ui_.setFocus(kExcelOpenDialog, kNewFileRadio);
}

void ExcelOpenDialog::onNewFile() { openMode_ = OpenMode::NewOrRunning; }

void ExcelOpenDialog::onEditFile() { openMode_ = OpenMode::ChooseFile; }

void ExcelOpenDialog::onOk() {
  if (!open_) return;
  open_ = false;
  ui_.closeDialog(kExcelOpenDialog);
  // Taken first: the choice may open this dialog again.
  std::function<void(OpenMode)> chosen = std::move(chosen_);
  chosen_ = nullptr;
  if (chosen) chosen(openMode_);
}

void ExcelOpenDialog::onCancel() {
  if (!open_) return;
  open_ = false;
  chosen_ = nullptr;
  ui_.closeDialog(kExcelOpenDialog);
}

}  // namespace lmv
