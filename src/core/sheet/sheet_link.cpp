#include "sheet/sheet_link.h"

#include <utility>

#include "sheet/sheet_row.h"

namespace lmv {
namespace {

// Holds a busy flag for one call; the caller has checked it was clear.
class BusyFlag {
 public:
  explicit BusyFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~BusyFlag() { flag_ = false; }
  BusyFlag(const BusyFlag&) = delete;
  BusyFlag& operator=(const BusyFlag&) = delete;

 private:
  bool& flag_;
};

}  // namespace

SheetLink::SheetLink(std::unique_ptr<SheetOffice> office, UiHost& ui, const LanguageTable& texts, Hooks hooks)
    : office_(std::move(office)), ui_(ui), texts_(texts), hooks_(std::move(hooks)), connectBridge_(ui) {}

SheetLink::~SheetLink() {
  if (connectThread_.joinable()) {
    office_->abandonConnect();
    connectBridge_.close();
    connectThread_.join();
  }
  if (sheetConnected_) ui_.killTimer(kTimerSheetWatch);
  office_->release();
}

void SheetLink::beginConnect(OpenMode mode) {
  if (sheetConnected_) {
    ui_.killTimer(kTimerSheetWatch);
    office_->release();
  }
  sheetConnected_ = true;
  cellEditing_ = false;
  // A cell blocked in another document says nothing about this one.
  writeBlocked_ = false;
  startWatchOnActivate_ = mode == OpenMode::ChooseFile;
}

bool SheetLink::connect(OpenMode mode, const std::string& path) {
  if (connecting_) return false;
  beginConnect(mode);
  return finishConnect(office_->connect(mode, path), path);
}

void SheetLink::connectInBackground(OpenMode mode, const std::string& path, std::function<void(bool)> done) {
  if (connecting_) return;
  beginConnect(mode);
  connecting_ = true;
  connectBridge_.reopen();
  connectThread_ = std::thread([this, mode, path, done = std::move(done)] {
    const OfficeConnect result = office_->connect(mode, path);
    connectBridge_.post([this, result, path, done] {
      connectThread_.join();  // it ends right after this post
      connecting_ = false;
      const bool linked = finishConnect(result, path);
      if (done) done(linked);
    });
  });
}

void SheetLink::onDialogActivated() {
  if (!startWatchOnActivate_) return;
  startWatchOnActivate_ = false;
  startWatch();
}

void SheetLink::startWatch() { ui_.setTimer(kTimerSheetWatch, kSheetWatchPeriod, [this] { watch(); }); }

bool SheetLink::finishConnect(OfficeConnect result, const std::string& path) {
  startWatchOnActivate_ = false;
  if (result != OfficeConnect::Connected) {
    ui_.killTimer(kTimerSheetWatch);  // an activation may have started it
    sheetConnected_ = false;
    office_->release();
    MessageRequest request;
    request.ownerDialog = kPasteDialog;
    if (result == OfficeConnect::FileNotOpened) {
      request.text = texts_.format(TextCannotOpenFile, path);
      request.icon = MessageIcon::Error;
    } else {
      request.text = texts_.text(TextExcelNotFound);
      request.icon = MessageIcon::Warning;
    }
    ui_.showMessage(request);
    return false;
  }
  startWatch();
  return true;
}

bool SheetLink::isPresent() {
  if (!sheetConnected_ || connecting_) return false;
  cellEditing_ = office_->cellEditing();
  if (cellEditing_) return true;
  return office_->present();
}

RowWrite SheetLink::writeRow(const MeasuredValue& value, const OleDate& captureTime, PasteCounters& counters) {
  if (writeBusy_) return RowWrite::Dropped;
  BusyFlag busy(writeBusy_);
  if (!isPresent() || cellEditing_) return RowWrite::Dropped;

  const std::optional<SheetCell> cell = office_->activeCell();
  if (!cell) return RowWrite::Dropped;
  const std::optional<SheetBounds> bounds = office_->bounds(cell->sheet);
  if (!bounds) return RowWrite::Dropped;

  if (writeBlocked_ && *cell != blocked_) writeBlocked_ = false;
  const int32_t lastStartColumn = bounds->lastColumn - (kSheetRowCells - 1);
  if (cell->column > lastStartColumn || cell->row > bounds->lastRow || writeBlocked_) {
    refuse(*cell);
    return RowWrite::Refused;
  }

  ++counters.rowNumber;
  ++counters.capturedSinceStart;
  const bool written = office_->writeCells(*cell, sheetRowCells(counters.rowNumber, captureTime, value));

  SheetCell next = *cell;
  if (cell->row > bounds->lastRow - 1) {
    // The sheet's last row is full: the cursor stays on the row's last cell
    // and the next capture there is refused.
    next.column += kSheetRowCells - 1;
    writeBlocked_ = true;
    blocked_ = next;
  } else {
    next.row += 1;
  }
  const bool moved = office_->moveCursor(next);
  return written && moved ? RowWrite::Written : RowWrite::Failed;
}

void SheetLink::refuse(const SheetCell& cell) {
  // Block the refused cell itself, before the message: a cursor the user
  // moves while reading it already lets the next capture through.
  writeBlocked_ = true;
  blocked_ = cell;
  if (hooks_.stopCapture) hooks_.stopCapture();
  MessageRequest request;
  request.ownerDialog = kPasteDialog;
  request.text = texts_.text(TextCellWriteError);
  request.icon = MessageIcon::Error;
  ui_.showMessage(request);
}

void SheetLink::watch() {
  if (watchBusy_ || !sheetConnected_ || connecting_) return;
  BusyFlag busy(watchBusy_);
  if (!isPresent()) closeDown();
}

void SheetLink::closeDown() {
  if (!sheetConnected_ || connecting_) return;
  sheetConnected_ = false;
  cellEditing_ = false;
  ui_.killTimer(kTimerSheetWatch);
  office_->release();
  if (hooks_.closed) hooks_.closed();
  MessageRequest request;
  request.ownerDialog = kPasteDialog;
  request.text = texts_.text(TextExcelClosed);
  request.icon = MessageIcon::Information;
  ui_.showMessage(request);
}

}  // namespace lmv
