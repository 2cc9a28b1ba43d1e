#include "files/record_file_commands.h"

#include "base/settings.h"
#include "ui/ui_host.h"
#include "files/file_chooser.h"
#include "files/record_file_io.h"
#include "files/record_journal.h"
#include "record/record_controls.h"
#include "record/recording.h"
#include "ui/language_table.h"

namespace lmv {
namespace {

FileDialogRequest recordFileDialog(FileDialogRequest::Kind kind, const LanguageTable& texts) {
  return {kind, "lxrd", "*.lxrd", texts.text(TextRecordFileFilter)};
}

}  // namespace

RecordFileCommands::RecordFileCommands(UiHost& ui, FileChooser& chooser, Recording& recording,
                                       RecordEnvironment& environment, AppSettings& settings,
                                       const LanguageTable& texts)
    : ui_(ui), chooser_(chooser), recording_(recording), env_(environment), settings_(settings), texts_(texts) {}

void RecordFileCommands::onOpen() {
  if (recording_.store().state.dataSaved == 0) {
    MessageRequest box;
    box.text = texts_.text(TextSaveData);
    box.icon = MessageIcon::Information;
    box.buttons = MessageButtons::YesNo;
    box.defaultAnswer = MessageAnswer::Yes;
    // Whether the records get saved or not, the open goes on.
    if (ui_.showMessage(box) == MessageAnswer::Yes) onSaveAs();
  }
  const auto path = chooser_.chooseFile(recordFileDialog(FileDialogRequest::Kind::Open, texts_));
  if (!path) return;
  openFile(*path);
}

void RecordFileCommands::onSave() {
  const RecordState& st = recording_.store().state;
  if (st.dataSaved == 1) return;
  if (st.fileBound == 0) {
    onSaveAs();
    return;
  }
  saveFile(recording_.store().recordFilePath);
}

void RecordFileCommands::onSaveAs() {
  const auto path = chooser_.chooseFile(recordFileDialog(FileDialogRequest::Kind::Save, texts_));
  if (!path) return;
  saveFile(*path);
}

void RecordFileCommands::onSaveAsCsv() {
  const auto path =
      chooser_.chooseFile({FileDialogRequest::Kind::Save, "csv", "*.csv", texts_.text(TextCsvFileFilter)});
  if (!path) return;
  exportCsv(*path);
}

bool RecordFileCommands::openFile(const std::string& path) {
  RecordStore& store = recording_.store();
  if (!readRecordFile(path, {settings_, store, recording_.graph().state()}, ui_, texts_)) return false;
  if (journal_) journal_->discard();

  const RecordState& st = store.state;
  recording_.refreshRecordInfo();
  RecordInfoPage& info = recording_.info();
  info.showMeter(store.fileIdentity.modelIndex, store.fileIdentity.serialNumberText);
  info.showLastSample(st.lastRangeText);
  info.showDataCount(st.recordCount);
  recording_.list().refreshMaxPanel();
  recording_.list().refreshMinPanel();
  ui_.setText(kMainDialog, kRunStartLabel, st.runStartText);
  ui_.setText(kMainDialog, kRunStopLabel, st.runStopText);

  recording_.list().showLastPage();
  recording_.graph().drawGraph();

  env_.fileMenuState(0, 0);
  if (st.runCount > 0) ui_.setEnabled(kMainDialog, kCopyGraphButton, true);
  if (st.recordCount > 0) {
    ui_.setEnabled(kMainDialog, kSaveButton, true);
    ui_.setEnabled(kMainDialog, kClearButton, true);
  }
  return true;
}

bool RecordFileCommands::saveFile(const std::string& path) {
  if (!writeRecordFile(path, {settings_, recording_.store(), recording_.graph().state()}, env_.connectedMeter(), ui_,
                       texts_)) {
    return false;
  }
  if (journal_) journal_->discard();
  return true;
}

bool RecordFileCommands::exportCsv(const std::string& path) {
  return exportRecordCsv(path, recording_.store(), settings_, env_.connectedMeter(), ui_, texts_);
}

}  // namespace lmv
