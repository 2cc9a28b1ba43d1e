#include "memory/memory_progress.h"

#include "ui/language_table.h"

namespace lmv {

std::string memoryTimeText(long long seconds, const LanguageTable& texts) {
  if (seconds < 0) seconds = 0;  // the clock was set back
  const long long m = seconds / 60;
  const long long s = seconds % 60;
  if (m > 0) {
    return std::to_string(m) + texts.text(TextMinuteUnit) + " " + std::to_string(s) + texts.text(TextSecondUnit);
  }
  return std::to_string(s) + texts.text(TextSecondUnit);
}

std::string memoryCountText(int readCount, int total) {
  return std::to_string(readCount) + " / " + std::to_string(total);
}

MemoryTimeUpdate MemoryProgressClock::update(int readCount, int total, std::time_t now, bool elapsedShown,
                                             const LanguageTable& texts) {
  MemoryTimeUpdate out;
  if (readCount <= 0) return out;
  const long long e = static_cast<long long>(now - readerStart_);
  if (e != lastShown_) {
    const long long remaining = static_cast<long long>(total - readCount) * e / readCount;
    out.remaining = memoryTimeText(remaining, texts);
    lastShown_ = e;
    out.elapsed = memoryTimeText(static_cast<long long>(now - okTime_), texts);
  } else if (readCount == total) {
    out.remaining = "0" + texts.text(TextSecondUnit);
    if (!elapsedShown) out.elapsed = "1" + texts.text(TextSecondUnit);
  }
  return out;
}

}  // namespace lmv
