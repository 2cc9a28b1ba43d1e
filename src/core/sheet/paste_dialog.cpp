#include "sheet/paste_dialog.h"

#include <utility>

namespace lmv {

FileDialogRequest excelFileRequest(const LanguageTable& texts) {
  FileDialogRequest request;
  request.kind = FileDialogRequest::Kind::Open;
  request.defaultExtension = "xls";
  request.initialName = "*.xls";
  request.filter = texts.text(TextExcelFilter);
  return request;
}

PasteDialog::PasteDialog(std::unique_ptr<SheetOffice> office, UiHost& ui, const LanguageTable& texts,
                         HandOverArea& handOver, RecordClock& clock, FileChooser& chooser, AppSettings& settings,
                         PasteHooks hooks, std::function<void()> closed, int followOffsetY)
    : ui_(ui),
      texts_(texts),
      chooser_(chooser),
      settings_(settings),
      closed_(std::move(closed)),
      followOffsetY_(followOffsetY),
      openDialog_(ui, texts),
      bridge_(ui),
      capture_(std::move(office), ui, texts, handOver, clock, std::move(hooks)) {}

PasteDialog::~PasteDialog() {
  if (created_) ui_.killTimer(kTimerPasteFollow);
  bridge_.close();
}

void PasteDialog::initialise() {
  if (created_) return;
  created_ = true;
  capture_.initialise(
      PasteSettings{settings_.pasteMode, settings_.pasteUseRecordSetting, settings_.pasteIntervalIndex});
  storeSettings();
  ui_.setTimer(kTimerPasteFollow, kPasteFollowPeriod, [this] { onFollowTimer(); });
}

void PasteDialog::show() { ui_.setWindowVisible(kPasteDialog, true); }

void PasteDialog::applyTexts() {
  if (created_) capture_.applyTexts();
}

void PasteDialog::onOpenButton() {
  if (capture_.sheetConnected()) return;  // the button is disabled then
  openDialog_.open([this](OpenMode mode) { onOpenModeChosen(mode); });
}

void PasteDialog::onOpenModeChosen(OpenMode mode) {
  std::string path;
  if (mode == OpenMode::ChooseFile) {
    const std::optional<std::string> chosen = chooser_.chooseFile(excelFileRequest(texts_));
    if (!chosen) return;
    path = *chosen;
  }
  capture_.openInBackground(mode, path);
}

void PasteDialog::onByReturnKey() {
  capture_.onByReturnKey();
  storeSettings();
}

void PasteDialog::onByInterval() {
  capture_.onByInterval();
  storeSettings();
}

void PasteDialog::onUseRecordSetting(bool checked) {
  capture_.onUseRecordSetting(checked);
  storeSettings();
}

void PasteDialog::onIntervalSelected(int index) {
  capture_.onIntervalSelected(index);
  storeSettings();
}

void PasteDialog::onStartStop() { capture_.onStartStop(); }

// The settings file is written from the live settings at exit: they follow
// every choice made here.
void PasteDialog::storeSettings() {
  const PasteSettings& s = capture_.settings();
  settings_.pasteMode = s.pasteMode;
  settings_.pasteUseRecordSetting = s.pasteUseRecordSetting;
  settings_.pasteIntervalIndex = s.pasteIntervalIndex;
}

void PasteDialog::onCloseButton() {
  storeSettings();
  hide();
}

void PasteDialog::onCloseCommand() { hide(); }

void PasteDialog::hide() {
  if (closed_) bridge_.post(closed_);
  ui_.setWindowVisible(kPasteDialog, false);
}

bool PasteDialog::onEnterKey() { return capture_.onEnterKey(true); }

void PasteDialog::onActivated() { capture_.link().onDialogActivated(); }

void PasteDialog::onMainWindowMoved(int x, int y) {
  mainClientTopLeft_ = {x, y};
  mainWindowMoved_ = true;
}

void PasteDialog::onFollowTimer() {
  if (!mainWindowMoved_) return;
  mainWindowMoved_ = false;
  const WindowPosition target{mainClientTopLeft_.x, mainClientTopLeft_.y + followOffsetY_};
  if (ui_.windowPosition(kPasteDialog) == target) return;
  bridge_.post([this, target] { ui_.moveWindow(kPasteDialog, target); });
}

}  // namespace lmv
