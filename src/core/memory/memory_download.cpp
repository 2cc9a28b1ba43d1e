#include "memory/memory_download.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include "base/file_io.h"
#include "ui/ui_host.h"
#include "files/file_messages.h"
#include "link/serial_port.h"
#include "memory/memory_csv.h"
#include "memory/memory_destination.h"
#include "ui/language_table.h"

namespace lmv {

namespace {

CalendarTime today() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::span<const uint8_t> asBytes(const std::string& text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

}  // namespace

MemoryDownload::MemoryDownload(SerialPort& port, UiHost& ui, const LanguageTable& texts,
                               MemoryDownloadListener& listener)
    : port_(port), ui_(ui), texts_(texts), listener_(listener), bridge_(ui) {}

MemoryDownload::~MemoryDownload() {
  cancel();
  bridge_.close();  // handlers still queued will not run
  joinThreads();
}

void MemoryDownload::cancel() {
  cancelled_ = true;
  if (ring_) ring_->close();
  {
    std::lock_guard lock(fileMutex_);
  }
  fileCv_.notify_all();
}

void MemoryDownload::joinThreads() {
  if (reader_.joinable()) reader_.join();
  if (writer_.joinable()) writer_.join();
}

bool MemoryDownload::start(const MemoryDownloadRequest& request) {
  if (running_) return false;
  joinThreads();
  request_ = request;
  cancelled_ = false;
  readResult_ = 0;
  fileState_ = FileState::Pending;
  ring_ = std::make_unique<MemoryRing>();
  clock_.reset();
  elapsedShown_ = false;

  if (!port_.writeLine(":MEM:CHECK?")) {
    running_ = true;
    finish(MemoryDownloadOutcome::NothingSaved, {});
    return false;
  }
  // A byte that does not arrive ends the reply; the slots seen so far count.
  std::vector<uint8_t> bitmap;
  for (int i = 0; i < kMemoryCheckReplyBytes; ++i) {
    uint8_t byte = 0;
    if (port_.readByte(byte) != LineReceived) break;
    bitmap.push_back(byte);
  }
  const MemoryOccupancy occupancy = decodeMemoryCheck(bitmap);
  total_ = occupancy.total();
  running_ = true;
  if (total_ == 0) {
    finish(MemoryDownloadOutcome::NothingSaved, {});
    return false;
  }
  const std::time_t okTime = std::time(nullptr);
  reader_ = std::thread([this, occupancy, okTime] { readerThread(occupancy, okTime); });
  writer_ = std::thread([this] { writerThread(); });
  return true;
}

void MemoryDownload::setFileState(FileState state) {
  {
    std::lock_guard lock(fileMutex_);
    fileState_ = state;
  }
  fileCv_.notify_all();
}

void MemoryDownload::readerThread(MemoryOccupancy occupancy, std::time_t okTime) {
  {
    std::unique_lock lock(fileMutex_);
    fileCv_.wait(lock, [&] { return fileState_ != FileState::Pending || cancelled_; });
    if (fileState_ != FileState::Opened) {
      lock.unlock();
      ring_->finishReading();
      return;
    }
  }
  const std::time_t readerStart = std::time(nullptr);
  const int total = total_;
  bridge_.post([this, total, okTime, readerStart] {
    clock_.emplace(okTime, readerStart);
    listener_.downloadStarted(total, texts_.text(TextReadingMemory));
  });

  int readCount = 0;
  int result = LineReceived;
  for (int c = 0; c < kMemorySlotCount && result == LineReceived; ++c) {
    if (!occupancy.occupied.test(static_cast<size_t>(c))) continue;
    // Cancelled, or the writer gave up: no further command.
    if (cancelled_ || ring_->closed()) {
      result = LinkError;
      break;
    }
    if (!port_.writeLine(":MEM:DATA? " + std::to_string(c + 1))) {
      result = SendFailed;
      break;
    }
    MemoryRingEntry entry;
    entry.slotIndex = c;
    for (uint8_t& byte : entry.record) {
      const LinkResult r = port_.readByte(byte);
      if (r != LineReceived) {
        result = r;
        break;
      }
    }
    if (result != LineReceived) break;
    if (!ring_->put(entry)) {
      result = LinkError;  // the writer gave up
      break;
    }
    ++readCount;
    const int waiting = static_cast<int>(ring_->size());
    bridge_.post([this, readCount, total, waiting] {
      MemoryTimeUpdate times;
      if (clock_) {
        times = clock_->update(readCount, total, std::time(nullptr), elapsedShown_, texts_);
        if (times.elapsed) elapsedShown_ = true;
      }
      listener_.readingProgress(readCount, total, times);
      listener_.ringLevel(waiting);
    });
  }
  readResult_ = result;
  ring_->finishReading();
}

void MemoryDownload::writerThread() {
  // Never waits on a FIFO or a device: only a regular file is written.
  std::string openError;
  const int fd = openRegularFileForWriting(request_.path, openError);
  if (fd < 0) {
    setFileState(FileState::Failed);
    bridge_.post([this] { finish(MemoryDownloadOutcome::FileNotOpened, {}); });
    return;
  }
  setFileState(FileState::Opened);

  int writeError = 0;
  std::string header;
  for (const std::string& line : memoryCsvHeaderLines(request_.meter, today(), request_.symbols, texts_)) {
    appendCsvLine(header, line);
  }
  writeError = writeAll(fd, asBytes(header));
  if (writeError != 0) ring_->close();

  while (writeError == 0) {
    std::optional<MemoryRingEntry> entry = ring_->take();
    if (!entry) break;
    const int waiting = static_cast<int>(ring_->size());
    bridge_.post([this, waiting] { listener_.ringLevel(waiting); });
    const MemoryReading reading = decodeMemoryRecord(entry->record);
    if (reading.skipped) continue;
    std::string line;
    appendCsvLine(line, memoryCsvReadingLine(entry->slotIndex + 1, reading, request_.footCandle, request_.symbols));
    writeError = writeAll(fd, asBytes(line));
    if (writeError != 0) ring_->close();  // releases a reader waiting for room
  }
  if (::close(fd) != 0 && writeError == 0) writeError = errno;
  // The reader may still be inside a reply after a write error or a cancel;
  // the download ends, and the port goes back to its owner, only once the
  // reader is off it.
  ring_->waitForReader();

  MemoryDownloadOutcome outcome = MemoryDownloadOutcome::Completed;
  if (writeError != 0) {
    outcome = MemoryDownloadOutcome::WriteError;
  } else if (cancelled_) {
    outcome = MemoryDownloadOutcome::Cancelled;
  } else if (readResult_ != LineReceived) {
    outcome = MemoryDownloadOutcome::ReadError;
  }
  const std::string reason = writeError != 0 ? std::strerror(writeError) : "";
  bridge_.post([this, outcome, reason] { finish(outcome, reason); });
}

void MemoryDownload::finish(MemoryDownloadOutcome outcome, const std::string& reason) {
  if (!running_) return;
  running_ = false;
  MessageRequest box;
  box.ownerDialog = kMemoryDialog;
  std::string status;
  switch (outcome) {
    case MemoryDownloadOutcome::Completed:
      status = texts_.text(TextMemoryReadCompleted);
      box.text = status;
      box.icon = MessageIcon::Information;
      break;
    case MemoryDownloadOutcome::ReadError:
      status = texts_.text(TextMemoryReadError);
      box.text = status;
      box.icon = MessageIcon::Error;
      break;
    case MemoryDownloadOutcome::WriteError:
      box.text = fileProblemMessage(FileProblem::CannotWrite, request_.path, reason, texts_.language());
      box.icon = MessageIcon::Error;
      break;
    case MemoryDownloadOutcome::FileNotOpened:
      box.text = texts_.format(TextCannotOpenFile, request_.fileName);
      box.icon = MessageIcon::Error;
      break;
    case MemoryDownloadOutcome::NothingSaved:
      box.text = texts_.text(TextDataNotSaved);
      box.icon = MessageIcon::Information;
      break;
    case MemoryDownloadOutcome::Cancelled:
      break;
  }
  listener_.downloadFinishing(outcome, status);
  if (!box.text.empty()) ui_.showMessage(box);
  listener_.downloadEnded(outcome, status);
}

}  // namespace lmv
