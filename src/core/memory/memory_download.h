#pragma once
// Reading the meter's stored readings into a CSV file. The caller holds the
// port exclusively (the measurement thread is stopped) until the download
// has ended.
//
// start() asks the meter which slots hold a reading; then a reader thread
// fetches the readings over the port and a writer thread writes the file,
// the two joined by a small ring. Both report to the user-interface thread
// by posting through a bridge, so neither ever waits for it and the owner
// can stop and join them at any moment.
#include <atomic>
#include <condition_variable>
#include <ctime>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "ui/ui_bridge.h"
#include "files/csv_text.h"
#include "link/meter_identity.h"
#include "memory/memory_check.h"
#include "memory/memory_progress.h"
#include "memory/memory_ring.h"

namespace lmv {

class SerialPort;
class UiHost;
class LanguageTable;

enum class MemoryDownloadOutcome {
  Completed,      // every reading read and written
  ReadError,      // a reply broke off; what was read is in the file
  WriteError,     // the file could not be written to the end; what was written stays
  FileNotOpened,  // the file could not be created; nothing was read
  NothingSaved,   // the meter holds no reading, or the check could not be sent
  Cancelled,      // stopped by the owner
};

// Called on the user-interface thread.
class MemoryDownloadListener {
 public:
  virtual ~MemoryDownloadListener() = default;
  // The reading starts: progress 0 of total; statusText for the status line.
  virtual void downloadStarted(int total, const std::string& statusText) = 0;
  virtual void readingProgress(int readCount, int total, const MemoryTimeUpdate& times) = 0;
  // Readings read but not yet written.
  virtual void ringLevel(int waiting) = 0;
  // The download has ended, before the user is told: statusText is the
  // completion or reading-error text for the status line (empty when none).
  virtual void downloadFinishing(MemoryDownloadOutcome /*outcome*/, const std::string& /*statusText*/) {}
  // Last call, after the user has seen the message; statusText as above.
  virtual void downloadEnded(MemoryDownloadOutcome outcome, const std::string& statusText) = 0;
};

struct MemoryDownloadRequest {
  std::string path;      // the CSV file, checked by validateMemoryDestination
  std::string fileName;  // as the messages name it ("data.csv")
  MeterIdentity meter;
  bool footCandle = false;  // the meter's last reported unit; applies to every reading
  CsvSymbols symbols;
};

class MemoryDownload {
 public:
  MemoryDownload(SerialPort& port, UiHost& ui, const LanguageTable& texts, MemoryDownloadListener& listener);
  ~MemoryDownload();  // cancels and joins; no listener call afterwards
  MemoryDownload(const MemoryDownload&) = delete;
  MemoryDownload& operator=(const MemoryDownload&) = delete;

  // On the user-interface thread: sends ":MEM:CHECK?", reads the bitmap and
  // starts the two threads. False when the download ended at once (the
  // listener has been told, the message shown) or one is still running.
  bool start(const MemoryDownloadRequest& request);

  // Asks both threads to stop; the download ends with Cancelled (or what it
  // ended with before).
  void cancel();

  // Until downloadEnded has been delivered.
  bool running() const { return running_; }

 private:
  enum class FileState { Pending, Opened, Failed };

  void readerThread(MemoryOccupancy occupancy, std::time_t okTime);
  void writerThread();
  void setFileState(FileState state);
  void finish(MemoryDownloadOutcome outcome, const std::string& reason);
  void joinThreads();

  SerialPort& port_;
  UiHost& ui_;
  const LanguageTable& texts_;
  MemoryDownloadListener& listener_;
  UiBridge bridge_;

  // User-interface thread only.
  std::optional<MemoryProgressClock> clock_;
  bool elapsedShown_ = false;

  MemoryDownloadRequest request_;
  int total_ = 0;
  bool running_ = false;  // user-interface thread only
  std::unique_ptr<MemoryRing> ring_;  // new for every download
  std::atomic<bool> cancelled_{false};
  std::atomic<int> readResult_{0};  // LinkResult of the failed exchange, 1 when all arrived

  std::mutex fileMutex_;
  std::condition_variable fileCv_;
  FileState fileState_ = FileState::Pending;

  std::thread reader_;
  std::thread writer_;
};

}  // namespace lmv
