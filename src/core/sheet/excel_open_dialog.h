#pragma once
// CDlgExcelOpen (template 134), the paste dialog's question how to reach the
// spreadsheet: the document the office has open (or a new one), or a file
// the user picks. Modal for the user; the logic goes on in its buttons.
#include <functional>

#include "sheet/sheet_office.h"
#include "ui/language_table.h"
#include "ui/ui_host.h"

namespace lmv {

inline constexpr int kExcelOpenDialog = 134;
inline constexpr int kNewFileRadio = 1019;
inline constexpr int kEditFileRadio = 1020;
inline constexpr int kExcelOpenOk = 1;
inline constexpr int kExcelOpenCancel = 2;

class ExcelOpenDialog {
 public:
  ExcelOpenDialog(UiHost& ui, const LanguageTable& texts);
  ExcelOpenDialog(const ExcelOpenDialog&) = delete;
  ExcelOpenDialog& operator=(const ExcelOpenDialog&) = delete;

  // Opens the dialog with 1019 chosen; chosen(openMode) runs after OK.
  void open(std::function<void(OpenMode)> chosen);
  bool isOpen() const { return open_; }

  void onNewFile();   // 1019
  void onEditFile();  // 1020
  void onOk();
  // Cancel, Esc and the close box.
  void onCancel();

  OpenMode openMode() const { return openMode_; }

 private:
  UiHost& ui_;
  const LanguageTable& texts_;
  bool open_ = false;
  OpenMode openMode_ = OpenMode::NewOrRunning;
  std::function<void(OpenMode)> chosen_;
};

}  // namespace lmv
