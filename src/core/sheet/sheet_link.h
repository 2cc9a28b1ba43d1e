#pragma once
// The link to the running spreadsheet program: connects to a document,
// writes one row of seven cells per capture at the cell cursor and moves the
// cursor to the start of the next row, watches that the office and the
// document are still there, and closes down when they are gone. The office
// itself is reached through a SheetOffice backend.
//
// Everything here runs on the user-interface thread, except the office's
// connect when it is made in the background (starting an office may take
// many seconds): the link then makes no other office call until it is done.
// A message box shown from here may run further timer ticks and captures
// before it returns; the busy flags drop those.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "base/ole_date.h"
#include "ui/ui_bridge.h"
#include "ui/ui_host.h"
#include "monitor/measured_value.h"
#include "sheet/sheet_office.h"
#include "ui/language_table.h"

namespace lmv {

inline constexpr int kPasteDialog = 133;
inline constexpr int kTimerSheetWatch = 5;  // paste dialog timer
inline constexpr auto kSheetWatchPeriod = std::chrono::milliseconds(300);

// The paste dialog's counters; a written row increments both.
struct PasteCounters {
  int32_t rowNumber = 0;
  int32_t capturedSinceStart = 0;
};

enum class RowWrite {
  Written,
  Dropped,  // busy, no link, office or document gone, user editing a cell
  Refused,  // the cell lies outside the sheet or is blocked: error shown
  Failed,   // the office failed while the row was written
};

class SheetLink {
 public:
  struct Hooks {
    // A refused write ends a running capture by interval.
    std::function<void()> stopCapture;
    // The office or the document has gone: the capture ends and the paste
    // dialog returns to its unconnected state (the message follows).
    std::function<void()> closed;
  };

  SheetLink(std::unique_ptr<SheetOffice> office, UiHost& ui, const LanguageTable& texts, Hooks hooks = {});
  ~SheetLink();
  SheetLink(const SheetLink&) = delete;
  SheetLink& operator=(const SheetLink&) = delete;

  // Links to a document and starts the watch timer. On failure the reason
  // has been shown and the link is unconnected.
  bool connect(OpenMode mode, const std::string& path);
  // The same with the office reached on a worker thread: returns at once,
  // and done(linked) runs on the user-interface thread when the connect has
  // ended. Rows and watch ticks meanwhile are dropped.
  void connectInBackground(OpenMode mode, const std::string& path, std::function<void(bool linked)> done);
  bool connecting() const { return connecting_; }
  // The paste dialog became the active window. While a chosen file is being
  // opened this starts the watch timer at once.
  void onDialogActivated();
  // Office and document are there, or the user is editing a cell.
  bool isPresent();
  RowWrite writeRow(const MeasuredValue& value, const OleDate& captureTime, PasteCounters& counters);
  // The watch timer's tick.
  void watch();
  // Ends the link after the office or document went away. The office is
  // never asked to quit: it may hold the user's other documents.
  void closeDown();

  // From the start of connect until it fails or the link closes down.
  bool sheetConnected() const { return sheetConnected_; }
  bool startWatchOnActivate() const { return startWatchOnActivate_; }
  bool cellEditing() const { return cellEditing_; }
  bool writeBlocked() const { return writeBlocked_; }
  SheetCell blockedCell() const { return blocked_; }

 private:
  void refuse(const SheetCell& cell);
  void beginConnect(OpenMode mode);
  bool finishConnect(OfficeConnect result, const std::string& path);
  void startWatch();

  std::unique_ptr<SheetOffice> office_;
  UiHost& ui_;
  const LanguageTable& texts_;
  Hooks hooks_;
  bool sheetConnected_ = false;
  bool cellEditing_ = false;
  bool writeBusy_ = false;
  bool watchBusy_ = false;
  bool writeBlocked_ = false;
  bool connecting_ = false;
  bool startWatchOnActivate_ = false;
  SheetCell blocked_;
  UiBridge connectBridge_;
  // Declared last: joined before the rest goes.
  std::thread connectThread_;
};

}  // namespace lmv
