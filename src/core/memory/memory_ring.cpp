#include "memory/memory_ring.h"

namespace lmv {

bool MemoryRing::put(const MemoryRingEntry& entry) {
  std::unique_lock lock(mutex_);
  notFull_.wait(lock, [&] { return count_ < kCapacity || closed_; });
  if (closed_) return false;
  entries_[writeIndex_] = entry;
  writeIndex_ = (writeIndex_ + 1) % kCapacity;
  ++count_;
  lock.unlock();
  notEmpty_.notify_one();
  return true;
}

std::optional<MemoryRingEntry> MemoryRing::take() {
  std::unique_lock lock(mutex_);
  notEmpty_.wait(lock, [&] { return count_ > 0 || readingFinished_ || closed_; });
  if (count_ == 0 || closed_) return std::nullopt;
  MemoryRingEntry entry = entries_[readIndex_];
  readIndex_ = (readIndex_ + 1) % kCapacity;
  --count_;
  lock.unlock();
  notFull_.notify_one();
  return entry;
}

void MemoryRing::finishReading() {
  {
    std::lock_guard lock(mutex_);
    readingFinished_ = true;
  }
  notEmpty_.notify_all();
}

void MemoryRing::close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  notFull_.notify_all();
  notEmpty_.notify_all();
}

void MemoryRing::waitForReader() {
  std::unique_lock lock(mutex_);
  notEmpty_.wait(lock, [&] { return readingFinished_; });
}

bool MemoryRing::closed() const {
  std::lock_guard lock(mutex_);
  return closed_;
}

size_t MemoryRing::size() const {
  std::lock_guard lock(mutex_);
  return count_;
}

}  // namespace lmv
