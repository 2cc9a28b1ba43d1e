#include "files/record_journal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "base/settings.h"
#include "record/recording.h"
#include "ui/language_table.h"

namespace lmv {

std::string journalFilePath(const std::string& dataDirectory) {
  return dataDirectory + "/" + kJournalFileName;
}

RecordJournal::RecordJournal(std::string path, const AppSettings& settings, Recording& recording,
                             RecordJournalOptions options)
    : RecordJournal(JournalLock(std::move(path)), settings, recording, std::move(options)) {}

RecordJournal::RecordJournal(JournalLock lock, const AppSettings& settings, Recording& recording,
                             RecordJournalOptions options)
    : lock_(std::move(lock)),
      path_(lock_.journalPath()),
      settings_(settings),
      recording_(recording),
      options_(std::move(options)) {
  if (!owned()) {
    failed_ = true;
    error_ = "another running program keeps '" + path_ + "'";
  }
  flusher_ = std::thread([this] { flusherLoop(); });
}

RecordJournal::~RecordJournal() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  flusher_.join();
  std::lock_guard lock(mutex_);
  syncLocked();
  closeLocked();  // the file stays: only discard() removes it
}

bool RecordJournal::active() const {
  std::lock_guard lock(mutex_);
  return fd_ >= 0;
}

std::string RecordJournal::error() const {
  std::lock_guard lock(mutex_);
  return error_;
}

void RecordJournal::flush() {
  std::lock_guard lock(mutex_);
  syncLocked();
}

void RecordJournal::discard() {
  if (!owned()) return;  // the other program's records
  std::lock_guard lock(mutex_);
  closeLocked();
  failed_ = false;
  error_.clear();
  if (::unlink(path_.c_str()) != 0 && errno != ENOENT) error_ = "cannot remove '" + path_ + "': " + std::strerror(errno);
}

void RecordJournal::restart() {
  if (recording_.store().records.empty()) {
    discard();
    return;
  }
  begin();
}

void RecordJournal::begin() {
  if (!owned()) return;
  const RecordStore& store = recording_.store();
  RecordFileContents base;
  base.settings = recordSettingsOf(settings_);
  base.header = recordHeaderOf(settings_);
  base.decimalSymbol = settings_.decimalSymbol;
  base.listSeparator = settings_.listSeparator;
  base.identity = store.fileIdentity;
  base.state = store.state;
  base.records = store.records;
  base.graph = recording_.graph().state();
  const std::vector<uint8_t> start = journalStart(base);

  std::lock_guard lock(mutex_);
  closeLocked();
  failed_ = false;
  error_.clear();
  // Written whole, flushed and put in place in one step: a journal is
  // either the old one or a complete new start.
  const FileWriteResult written = writeFileAtomically(path_, start, options_.writeFunction);
  if (!written.ok) {
    failed_ = true;
    error_ = written.error;
    return;
  }
  fd_ = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd_ < 0) {
    failed_ = true;
    error_ = "cannot open '" + path_ + "': " + std::strerror(errno);
  }
}

void RecordJournal::append(const std::vector<uint8_t>& frame) {
  std::lock_guard lock(mutex_);
  if (fd_ < 0) return;
  size_t done = 0;
  while (done < frame.size()) {
    const ssize_t n = options_.writeFunction ? options_.writeFunction(fd_, frame.data() + done, frame.size() - done)
                                             : ::write(fd_, frame.data() + done, frame.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error_ = "cannot write '" + path_ + "': " + std::strerror(n < 0 ? errno : ENOSPC);
      failed_ = true;
      closeLocked();
      return;
    }
    done += static_cast<size_t>(n);
  }
  if (!dirty_) {
    dirty_ = true;
    wake_.notify_all();
  }
}

void RecordJournal::syncLocked() {
  if (fd_ < 0 || !dirty_) return;
  dirty_ = false;
  if (::fdatasync(fd_) != 0) {
    error_ = "cannot write '" + path_ + "': " + std::strerror(errno);
    failed_ = true;
    closeLocked();
  }
}

void RecordJournal::closeLocked() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  dirty_ = false;
}

void RecordJournal::flusherLoop() {
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    wake_.wait(lock, [this] { return stopping_ || dirty_; });
    if (stopping_) break;
    // A written sample waits at most the flush interval for the disk;
    // the samples that come meanwhile go with it.
    wake_.wait_for(lock, std::chrono::milliseconds(options_.flushIntervalMs), [this] { return stopping_; });
    syncLocked();
  }
}

void RecordJournal::beforeSample() {
  bool needBegin = false;
  {
    std::lock_guard lock(mutex_);
    needBegin = fd_ < 0 && !failed_;
  }
  if (needBegin) begin();
}

void RecordJournal::runStarted(const JournalRunHeader& header) { append(runStartFrame(header)); }

void RecordJournal::sampleTaken(const JournalSample& sample) { append(sampleFrame(sample)); }

void RecordJournal::runEnded() {
  const RecordState& st = recording_.store().state;
  append(runEndFrame(st.runStopTime, st.runStopText));
  flush();
}

void RecordJournal::recordsRemoved() {
  if (recording_.store().records.empty()) {
    discard();
    return;
  }
  bool open = false;
  {
    std::lock_guard lock(mutex_);
    open = fd_ >= 0;
  }
  // The journal starts again from what is left.
  if (open) begin();
}

JournalFileRecovery readJournalFile(const std::string& path) {
  JournalFileRecovery result;
  FileReadResult file = readFileBytes(path);
  if (file.status == FileReadResult::Status::Missing) return result;
  result.found = true;
  if (file.status != FileReadResult::Status::Ok) {
    result.error = file.error;
    return result;
  }
  result.recovery = recoverJournal(file.bytes);
  return result;
}

void applyRecoveredRecords(RecordFileContents contents, RecordFileTargets live) {
  storeRecordSettings(live.settings, contents.settings);
  storeRecordHeader(live.settings, contents.header);
  live.settings.decimalSymbol = contents.decimalSymbol;
  live.settings.listSeparator = contents.listSeparator;

  RecordStore& store = live.store;
  store.records = std::move(contents.records);
  contents.state.fileBound = 0;
  contents.state.dataSaved = store.records.empty() ? 1 : 0;
  store.state = std::move(contents.state);
  store.fileIdentity = contents.identity;
  store.recordFilePath.clear();
  store.recordFileName.clear();

  GraphState graph = std::move(contents.graph);
  graph.plotRect = live.graph.plotRect;
  graph.firstMaxPending = live.graph.firstMaxPending;
  graph.firstMinPending = live.graph.firstMinPending;
  live.graph = std::move(graph);
}

std::string journalWaitingMessage(int language) {
  return normalizeLanguageCode(language) == kLanguageEnglish
             ? "The last recording did not end normally.\n\nRecover its records?"
             : "前回の記録は正常に終了しませんでした。\n\n記録データを復元しますか？";
}

std::string journalRecoveredMessage(const JournalRecovery& recovery, int language) {
  const bool english = normalizeLanguageCode(language) == kLanguageEnglish;
  const std::string count = std::to_string(recovery.contents.records.size());
  std::string text = english ? count + " records were recovered." : count + " 件のデータを復元しました。";
  if (recovery.damaged) {
    text += english ? "\n\nThe end of the journal was damaged; the records after the damage are lost."
                    : "\n\n記録ジャーナルの末尾が破損していたため、破損箇所以降のデータは失われました。";
  }
  return text;
}

}  // namespace lmv
