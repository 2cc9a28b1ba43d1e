#include "memory/memory_dialog.h"

#include <utility>

#include "ui/ui_host.h"
#include "memory/memory_destination.h"
#include "ui/language_table.h"

namespace lmv {

MemoryDialog::MemoryDialog(UiHost& ui, SerialPort& port, const LanguageTable& texts, ProgressBars& bars)
    : ui_(ui), texts_(texts), bars_(bars), download_(port, ui, texts, *this) {}

MemoryDialog::~MemoryDialog() = default;

void MemoryDialog::setText(int control, std::string_view text) { ui_.setText(kMemoryDialog, control, text); }

void MemoryDialog::enableInputs(bool enabled) {
  for (int control : {kMemoryBrowseButton, kMemoryFileNameEdit, kDialogOk, kDialogCancel})
    ui_.setEnabled(kMemoryDialog, control, enabled);
}

void MemoryDialog::open(const std::string& folder, const std::string& fileName, const MemoryDownloadSource& source,
                        std::function<void()> onClosed) {
  folder_ = folder;
  fileName_ = fileName;
  source_ = source;
  onClosed_ = std::move(onClosed);
  ui_.setWindowTitle(kMemoryDialog, texts_.text(TextMemoryTitle));
  setText(kMemoryGroupBox, texts_.text(TextMemorySaveSetting));
  setText(kMemoryFolderLabel, texts_.text(TextFolderNameLabel));
  setText(kMemoryFileNameLabel, texts_.text(TextFileNameLabel));
  setText(kMemoryBrowseButton, texts_.text(TextBrowse));
  setText(kDialogCancel, texts_.text(TextCancel));
  for (int control : {kMemoryStatusText, kMemoryCountText, kMemoryRemainLabel, kMemoryRemainText, kMemoryElapsedLabel,
                      kMemoryElapsedText})
    setText(control, "");
  // The bars too: a finished download's full bar would tell of one that has
  // not happened yet.
  for (int bar : {kMemoryProgressBar, kMemoryBufferGauge}) bars_.setProgressPosition(bar, 0);
  setText(kMemoryFolderEdit, folder_);
  setText(kMemoryFileNameEdit, fileName_);
  enableInputs(true);
  open_ = true;
  ending_ = false;
  ui_.openDialog(kMemoryDialog);
}

void MemoryDialog::onFolderChosen(const std::string& folder) {
  if (!folder.empty()) setText(kMemoryFolderEdit, folder);
}

void MemoryDialog::onOk(const std::string& folderText, const std::string& fileNameText) {
  if (!open_ || download_.running() || ending_) return;
  const auto path = validateMemoryDestination(folderText, fileNameText, ui_, texts_, pathExists);
  if (!path) return;
  folder_ = folderText;
  fileName_ = fileNameText;
  enableInputs(false);
  MemoryDownloadRequest request;
  request.path = *path;
  request.fileName = memoryCsvFileName(fileNameText);
  request.meter = source_.meter;
  request.footCandle = source_.footCandle;
  request.symbols = source_.symbols;
  // When it ends at once (nothing stored, check not sent) the listener has
  // already been told and the dialog closed.
  download_.start(request);
}

void MemoryDialog::onCancel() {
  if (!open_ || download_.running() || ending_) return;
  setText(kMemoryFolderEdit, folder_);
  setText(kMemoryFileNameEdit, fileName_);
  close();
}

void MemoryDialog::close() {
  open_ = false;
  ui_.closeDialog(kMemoryDialog);
  if (auto done = std::exchange(onClosed_, nullptr)) done();
}

void MemoryDialog::downloadStarted(int total, const std::string& statusText) {
  bars_.setProgressRange(kMemoryProgressBar, total);
  bars_.setProgressPosition(kMemoryProgressBar, 0);
  bars_.setProgressRange(kMemoryBufferGauge, static_cast<int>(MemoryRing::kCapacity));
  bars_.setProgressPosition(kMemoryBufferGauge, 0);
  setText(kMemoryStatusText, statusText);
  setText(kMemoryCountText, memoryCountText(0, total));
  setText(kMemoryRemainLabel, texts_.text(TextRemainLabel));
  setText(kMemoryElapsedLabel, texts_.text(TextElapsedLabel));
}

void MemoryDialog::readingProgress(int readCount, int total, const MemoryTimeUpdate& times) {
  bars_.setProgressPosition(kMemoryProgressBar, readCount);
  setText(kMemoryCountText, memoryCountText(readCount, total));
  if (times.remaining) setText(kMemoryRemainText, *times.remaining);
  if (times.elapsed) setText(kMemoryElapsedText, *times.elapsed);
}

void MemoryDialog::ringLevel(int waiting) { bars_.setProgressPosition(kMemoryBufferGauge, waiting); }

void MemoryDialog::downloadFinishing(MemoryDownloadOutcome, const std::string& statusText) {
  ending_ = true;
  // The completion or reading error stands in the dialog, with OK usable,
  // before the message tells it.
  if (statusText.empty()) return;
  setText(kMemoryStatusText, statusText);
  ui_.setEnabled(kMemoryDialog, kDialogOk, true);
}

void MemoryDialog::downloadEnded(MemoryDownloadOutcome outcome, const std::string&) {
  ending_ = false;
  enableInputs(true);
  // A file that cannot be created leaves the dialog open for another name.
  if (outcome != MemoryDownloadOutcome::FileNotOpened) close();
}

}  // namespace lmv
