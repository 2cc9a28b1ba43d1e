#pragma once
// CDlgExcel, the paste-record-data dialog (template 133) as a window around
// the capture logic: created once and then only shown and hidden, so that
// the link and a running capture outlive its closing; the open sequence with
// its question (template 134) and file choice; the settings it keeps; and
// the way it follows the main window.
#include <functional>
#include <memory>
#include <string>

#include "base/settings.h"
#include "files/file_chooser.h"
#include "sheet/excel_open_dialog.h"
#include "sheet/paste_capture.h"
#include "ui/ui_bridge.h"

namespace lmv {

// The dialog's timer that moves it after the main window.
inline constexpr int kTimerPasteFollow = 6;
inline constexpr auto kPasteFollowPeriod = std::chrono::milliseconds(200);

// What the file choice of "Edit File" asks for.
FileDialogRequest excelFileRequest(const LanguageTable& texts);

class PasteDialog {
 public:
  // settings: the program's live settings; the dialog starts from their
  // paste fields and keeps them up to date. closed: WM_PASTE_DIALOG_CLOSED,
  // posted to the main window. followOffsetY: how far below the main
  // window's client area's top the dialog sits, in the window system's
  // units.
  PasteDialog(std::unique_ptr<SheetOffice> office, UiHost& ui, const LanguageTable& texts, HandOverArea& handOver,
              RecordClock& clock, FileChooser& chooser, AppSettings& settings, PasteHooks hooks,
              std::function<void()> closed, int followOffsetY);
  ~PasteDialog();
  PasteDialog(const PasteDialog&) = delete;
  PasteDialog& operator=(const PasteDialog&) = delete;

  // Once, when its window has been made: controls from the settings, the
  // follow timer.
  void initialise();
  bool created() const { return created_; }
  void show();
  // Language switch: the texts, even while the dialog is hidden.
  void applyTexts();

  // Open button 1013 and what the question and the file choice answer.
  void onOpenButton();
  void onByReturnKey();
  void onByInterval();
  void onUseRecordSetting(bool checked);
  void onIntervalSelected(int index);
  void onStartStop();
  // Close button 1, and the close box or Esc: hidden, never destroyed.
  void onCloseButton();
  void onCloseCommand();
  // Enter in the dialog; true when it was a capture (else Close presses).
  bool onEnterKey();
  // The dialog became the active window.
  void onActivated();

  // The main window moved while the dialog is shown: where its client
  // area's top-left corner is now. The follow timer's next tick moves the
  // dialog there (offset below) unless it is there already.
  void onMainWindowMoved(int x, int y);
  void onFollowTimer();

  PasteCapture& capture() { return capture_; }
  ExcelOpenDialog& openDialog() { return openDialog_; }

 private:
  void onOpenModeChosen(OpenMode mode);
  void storeSettings();
  void hide();

  UiHost& ui_;
  const LanguageTable& texts_;
  FileChooser& chooser_;
  AppSettings& settings_;
  std::function<void()> closed_;
  int followOffsetY_;
  bool created_ = false;
  bool mainWindowMoved_ = false;
  WindowPosition mainClientTopLeft_;
  ExcelOpenDialog openDialog_;
  UiBridge bridge_;
  PasteCapture capture_;
};

}  // namespace lmv
