#include "files/record_file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

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

// Records read from disk per piece: 1 MiB.
constexpr size_t kRecordsPerRead = 32768;

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

RecordFileLoad loadRecordFile(const std::string& path, ReadableFile::ReadFunction readFunction) {
  RecordFileLoad load;
  ReadableFile file;
  load.status = file.open(path, load.error, std::move(readFunction));
  if (load.status != FileReadResult::Status::Ok) return load;
  const auto fail = [&] {
    load.status = FileReadResult::Status::Error;
    return std::move(load);
  };
  RecordFileDecodeResult& decoded = load.decoded;
  const uint64_t size = file.size();

  // The header from the first bytes; the rest of fields 3 to 46 is read as
  // far as its texts really go (they are part of the file's contents).
  std::vector<uint8_t> bytes;
  uint64_t want = std::min<uint64_t>(size, kRecordFileProbeBytes);
  RecordFilePrefix prefix;
  for (;;) {
    if (!file.readAt(bytes.size(), static_cast<size_t>(want - bytes.size()), bytes, load.error)) return fail();
    decoded = {};
    prefix = decodeRecordFilePrefix(bytes, size, decoded);
    if (!prefix.needsMoreBytes) break;
    want = std::min<uint64_t>(size, std::max<uint64_t>(prefix.bytesNeeded, want + kRecordFileProbeBytes));
  }
  decoded.outcome = prefix.outcome;
  if (decoded.outcome != RecordFileOutcome::Read) return load;
  decoded.outcome = checkRecordFileSize(size, prefix.recordsOffset, prefix.recordCount);
  if (decoded.outcome != RecordFileOutcome::Read) return load;

  const size_t count = prefix.recordCount > 0 ? static_cast<size_t>(prefix.recordCount) : 0;
  RecordArray& records = decoded.contents.records;
  records.reserve(count);
  uint64_t offset = prefix.recordsOffset;
  for (size_t done = 0; done < count;) {
    const size_t piece = std::min(kRecordsPerRead, count - done);
    bytes.clear();
    if (!file.readAt(offset, piece * kRecordBytes, bytes, load.error)) return fail();
    decodeRecords(bytes, records);
    done += piece;
    offset += piece * kRecordBytes;
  }
  bytes.clear();
  if (!file.readAt(offset, static_cast<size_t>(size - offset), bytes, load.error)) return fail();
  decoded.outcome = decodeRecordFileTail(bytes, decoded);
  return load;
}

bool readRecordFile(const std::string& path, RecordFileTargets live, UiHost& ui, const LanguageTable& texts) {
  RecordFileLoad file = loadRecordFile(path);
  if (file.status != FileReadResult::Status::Ok) {
    const std::string reason =
        file.status == FileReadResult::Status::Missing ? std::strerror(ENOENT) : std::string(fileErrorReason(file.error));
    showError(ui, fileProblemMessage(FileProblem::CannotRead, path, reason, texts.language()));
    return false;
  }
  RecordFileDecodeResult& decoded = file.decoded;
  switch (decoded.outcome) {
    case RecordFileOutcome::Read:
      break;
    case RecordFileOutcome::WrongHeader:
    case RecordFileOutcome::Oversized:
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

std::vector<uint8_t> liveRecordFileBytes(const RecordFileTargets& live, const MeterIdentity& currentMeter) {
  return encodeRecordFile(contentsOf(live, currentMeter), live.store.records);
}

std::optional<std::string> writeRescueRecordFile(const std::string& folder, const RecordFileTargets& live,
                                                 const MeterIdentity& currentMeter) {
  constexpr std::string_view kSuffix = ".lxrd";
  std::string path = folder;
  if (path.empty() || path.back() != '/') path += '/';
  path += "lumetrevisor-record-XXXXXX";
  path += kSuffix;
  const std::vector<uint8_t> bytes = liveRecordFileBytes(live, currentMeter);
  if (!writeNewUniqueFile(path, static_cast<int>(kSuffix.size()), bytes).ok) return std::nullopt;
  return path;
}

bool writeRecordFile(const std::string& path, RecordFileTargets live, const MeterIdentity& currentMeter, UiHost& ui,
                     const LanguageTable& texts) {
  const std::vector<uint8_t> bytes = liveRecordFileBytes(live, currentMeter);
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
  if (!fileWriteRefusal(path).empty()) {
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
