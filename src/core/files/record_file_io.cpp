#include "files/record_file_io.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/file_io.h"
#include "base/settings.h"
#include "ui/ui_host.h"
#include "files/csv_export.h"
#include "files/file_messages.h"
#include "files/record_file.h"
#include "record/window_title.h"
#include "ui/language_table.h"

namespace lmv {
namespace {

void showError(UiHost& ui, std::string text) {
  MessageRequest box;
  box.text = std::move(text);
  box.icon = MessageIcon::Error;
  ui.showMessage(box);
}

std::string directoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Whether a new file could be made at path: its folder exists and takes
// new files, and what is there now is a writable file (or nothing).
bool canCreateFileAt(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode) || ::access(path.c_str(), W_OK) != 0) return false;
  }
  return ::access(directoryOf(path).c_str(), W_OK | X_OK) == 0;
}

RecordFileContents contentsOf(const RecordFileTargets& live, const MeterIdentity& meter) {
  RecordFileContents c;
  c.settings = recordSettingsOf(live.settings);
  c.header = recordHeaderOf(live.settings);
  c.decimalSymbol = live.settings.decimalSymbol;
  c.listSeparator = live.settings.listSeparator;
  c.identity = meter;
  c.state = live.store.state;
  c.graph = live.graph;  // the samples are written from the store itself
  return c;
}

}  // namespace

std::string fileNameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool readRecordFile(const std::string& path, RecordFileTargets live, UiHost& ui, const LanguageTable& texts) {
  FileReadResult file = readFileBytes(path);
  if (file.status != FileReadResult::Status::Ok) {
    const std::string reason =
        file.status == FileReadResult::Status::Missing ? std::strerror(ENOENT) : std::string(fileErrorReason(file.error));
    showError(ui, fileProblemMessage(FileProblem::CannotRead, path, reason, texts.language()));
    return false;
  }
  RecordFileDecodeResult decoded = decodeRecordFile(file.bytes);
  switch (decoded.outcome) {
    case RecordFileOutcome::Read:
      break;
    case RecordFileOutcome::WrongHeader:
      showError(ui, texts.text(TextIncorrectFileFormat));
      return false;
    case RecordFileOutcome::NegativeVersion:
      showError(ui, texts.text(TextIncompatibleDataFormat));
      return false;
    case RecordFileOutcome::EndsEarly:
      showError(ui, fileProblemMessage(FileProblem::EndsEarly, path, {}, texts.language()));
      return false;
  }

  RecordFileContents& c = decoded.contents;
  storeRecordSettings(live.settings, c.settings);
  storeRecordHeader(live.settings, c.header);
  live.settings.decimalSymbol = c.decimalSymbol;
  live.settings.listSeparator = c.listSeparator;

  RecordStore& store = live.store;
  store.records = std::move(c.records);
  c.state.fileBound = 1;
  c.state.dataSaved = 1;
  store.state = std::move(c.state);
  store.fileIdentity = c.identity;
  store.recordFilePath = path;
  store.recordFileName = fileNameOf(path);

  // The frame size and the working flags of the extremes are the page's own.
  GraphState graph = std::move(c.graph);
  graph.plotRect = live.graph.plotRect;
  graph.firstMaxPending = live.graph.firstMaxPending;
  graph.firstMinPending = live.graph.firstMinPending;
  live.graph = std::move(graph);

  ui.setWindowTitle(kMainDialog, windowTitleText(true, store.recordFileName, false));
  return true;
}

bool writeRecordFile(const std::string& path, RecordFileTargets live, const MeterIdentity& currentMeter, UiHost& ui,
                     const LanguageTable& texts) {
  const std::vector<uint8_t> bytes = encodeRecordFile(contentsOf(live, currentMeter), live.store.records);
  const FileWriteResult written = writeFileAtomically(path, bytes);
  if (!written.ok) {
    showError(ui, fileProblemMessage(FileProblem::CannotWrite, path, fileErrorReason(written.error), texts.language()));
    return false;
  }
  RecordStore& store = live.store;
  store.fileIdentity.firmwareVersionText = currentMeter.firmwareVersionText;
  store.fileIdentity.serialNumberText = currentMeter.serialNumberText;
  store.recordFilePath = path;
  store.recordFileName = fileNameOf(path);
  store.state.fileBound = 1;
  store.state.dataSaved = 1;
  ui.setWindowTitle(kMainDialog, windowTitleText(true, store.recordFileName, false));
  return true;
}

bool exportRecordCsv(const std::string& path, const RecordStore& store, const AppSettings& settings,
                     const MeterIdentity& currentMeter, UiHost& ui, const LanguageTable& texts) {
  if (!canCreateFileAt(path)) {
    showError(ui, texts.format(TextCannotOpenFile, fileNameOf(path)));
    return false;
  }
  CsvExportHeader header;
  header.identity = store.state.fileBound == 1 ? store.fileIdentity : currentMeter;
  header.settings = &settings;
  header.lastRangeText = store.state.lastRangeText;
  header.baseTime = store.state.baseTime;
  header.recordCount = store.state.recordCount;
  const std::string text = csvExportText(header, store.records, texts);
  const FileWriteResult written =
      writeFileAtomically(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
  if (!written.ok) {
    showError(ui, fileProblemMessage(FileProblem::CannotWrite, path, fileErrorReason(written.error), texts.language()));
    return false;
  }
  return true;
}

}  // namespace lmv
