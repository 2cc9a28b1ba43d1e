#pragma once
// The small ring that carries stored readings from the reader thread (which
// owns the port) to the writer thread (which owns the file). The reader
// blocks while the ring is full, the writer while it is empty.
#include <array>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>

#include "memory/memory_record.h"

namespace lmv {

struct MemoryRingEntry {
  MemoryRecordBytes record{};
  int slotIndex = 0;  // 0..98
};

class MemoryRing {
 public:
  static constexpr size_t kCapacity = 10;

  // Waits while the ring is full; returns false, without adding, once the
  // ring was closed (the writer gave up).
  bool put(const MemoryRingEntry& entry);
  // Waits while the ring is empty and the reader has not finished; empty
  // when it has finished and everything was taken, or the ring was closed.
  std::optional<MemoryRingEntry> take();

  // The reader will put nothing more.
  void finishReading();
  // The writer takes nothing more: wakes a blocked reader.
  void close();
  // Waits until the reader has finished (it is off the port then).
  void waitForReader();
  bool closed() const;

  size_t size() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable notFull_;
  std::condition_variable notEmpty_;
  std::array<MemoryRingEntry, kCapacity> entries_{};
  size_t readIndex_ = 0;
  size_t writeIndex_ = 0;
  size_t count_ = 0;
  bool readingFinished_ = false;
  bool closed_ = false;
};

}  // namespace lmv
