#include "files/record_file_commands.h"

#include "base/settings.h"
#include "ui/ui_host.h"
#include "files/file_chooser.h"
#include "files/record_file_io.h"
#include "files/record_journal.h"
#include "record/record_controls.h"
#include "record/window_title.h"
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
  showReplacedStore();
  return true;
}

void RecordFileCommands::showReplacedStore() {
  RecordStore& store = recording_.store();
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
}

bool RecordFileCommands::offerRecovery() {
  if (!journal_) return false;
  if (!journal_->owned()) {
    // A journal there is another running program's, not a leftover.
    MessageRequest box;
    box.text = journalInUseMessage(texts_.language());
    box.icon = MessageIcon::Warning;
    ui_.showMessage(box);
    return false;
  }
  JournalFileRecovery found = readJournalFile(journal_->path());
  if (!found.found) return false;
  if (found.recovery.outcome != JournalOutcome::Recovered || found.recovery.contents.records.empty()) {
    // Nothing in it can be had back.
    journal_->discard();
    return false;
  }
  MessageRequest question;
  question.text = journalWaitingMessage(texts_.language());
  question.icon = MessageIcon::Question;
  question.buttons = MessageButtons::YesNo;
  question.defaultAnswer = MessageAnswer::Yes;
  if (ui_.showMessage(question) != MessageAnswer::Yes) {
    journal_->discard();
    return false;
  }
  const std::string told = journalRecoveredMessage(found.recovery, texts_.language());
  applyRecoveredRecords(std::move(found.recovery.contents),
                        {settings_, recording_.store(), recording_.graph().state()});
  ui_.setWindowTitle(kMainDialog, windowTitleText(false, {}, false));
  showReplacedStore();
  // The recovered records are unsaved: a journal of them as they are now.
  journal_->restart();
  MessageRequest box;
  box.text = told;
  box.icon = MessageIcon::Information;
  ui_.showMessage(box);
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
