#pragma once
// The recording journal: every sample the recording takes goes to a file in
// the program's data directory as it arrives (so that a killed program
// loses nothing that was taken) and is flushed to the disk at least once a
// second and at the end of every run (so that a power cut loses at most the
// last second). The journal exists only while the store holds records that
// are not saved: a save, clearing the store, or an exit with the records
// saved or knowingly discarded removes it. A journal found at start-up is
// the record of a program that ended abnormally and can be recovered.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "base/file_io.h"
#include "files/journal_lock.h"
#include "files/record_file_io.h"
#include "files/record_journal_format.h"
#include "record/sample_journal.h"

namespace lmv {

struct AppSettings;
class Recording;

// dataDirectory/LX5810record.journal
std::string journalFilePath(const std::string& dataDirectory);

struct RecordJournalOptions {
  int flushIntervalMs = 1000;   // longest time a written sample waits for the disk
  WriteFunction writeFunction;  // tests only: replaces write(2)
};

class RecordJournal final : public SampleJournal {
 public:
  // settings: the live CSV symbols go into the journal's base. The journal
  // takes its lock (or keeps the one given); without it, it writes and
  // removes nothing.
  RecordJournal(std::string path, const AppSettings& settings, Recording& recording,
                RecordJournalOptions options = {});
  RecordJournal(JournalLock lock, const AppSettings& settings, Recording& recording,
                RecordJournalOptions options = {});
  ~RecordJournal() override;
  RecordJournal(const RecordJournal&) = delete;
  RecordJournal& operator=(const RecordJournal&) = delete;

  const std::string& path() const { return path_; }
  // False while another running program keeps this journal.
  bool owned() const { return lock_.held(); }
  bool active() const;
  // Why the journal stopped keeping samples (it tries again with the next
  // record list); empty while it works.
  std::string error() const;

  // Everything written so far is on the disk when this returns.
  void flush();
  // The records were saved, or are knowingly given up: the journal goes.
  void discard();
  // A new journal of the store as it is now (after a recovery put records
  // there); nothing is written for an empty store.
  void restart();

  void beforeSample() override;
  void runStarted(const JournalRunHeader& header) override;
  void sampleTaken(const JournalSample& sample) override;
  void runEnded() override;
  void recordsRemoved() override;

 private:
  void begin();  // the journal of the store as it is now
  void append(const std::vector<uint8_t>& frame);
  void syncLocked();
  void closeLocked();
  void flusherLoop();

  const JournalLock lock_;
  const std::string path_;
  const AppSettings& settings_;
  Recording& recording_;
  const RecordJournalOptions options_;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  int fd_ = -1;
  bool dirty_ = false;
  bool failed_ = false;  // until the next begin
  bool stopping_ = false;
  std::string error_;
  std::thread flusher_;  // last: runs on the members above
};

// What a journal found at start-up holds, read from its file.
struct JournalFileRecovery {
  bool found = false;  // a journal file exists
  std::string error;   // it exists but cannot be read
  JournalRecovery recovery;
};
JournalFileRecovery readJournalFile(const std::string& path);

// Puts recovered records into the live values as unsaved records of no
// file (the record settings, header and symbols are the journal's); the
// views are refreshed by the caller as after an open.
void applyRecoveredRecords(RecordFileContents contents, RecordFileTargets live);

// The messages of a recovery, in the program's two languages (language:
// kLanguageJapanese or kLanguageEnglish).
std::string journalWaitingMessage(int language);  // the question at start-up
std::string journalRecoveredMessage(const JournalRecovery& recovery, int language);

}  // namespace lmv
