#pragma once
// Progress texts of the memory download: "n / total" and the remaining and
// elapsed times, refreshed at most once per second.
#include <ctime>
#include <optional>
#include <string>

namespace lmv {

class LanguageTable;

// "2 min 5 sec", "45 sec" (with the language's unit words).
std::string memoryTimeText(long long seconds, const LanguageTable& texts);

// "n / total".
std::string memoryCountText(int readCount, int total);

struct MemoryTimeUpdate {
  std::optional<std::string> remaining;  // new text of the remaining time, if it changes
  std::optional<std::string> elapsed;    // new text of the elapsed time, if it changes
};

class MemoryProgressClock {
 public:
  // okTime: when OK started the download; readerStart: when the reader began.
  MemoryProgressClock(std::time_t okTime, std::time_t readerStart) : okTime_(okTime), readerStart_(readerStart) {}

  // After readCount of total readings, at now. elapsedShown tells whether
  // the elapsed time already shows a text. The remaining time is estimated
  // from the reader's own pace; texts change only when the whole second of
  // the reader's run changed, except that the last reading shows 0 sec.
  MemoryTimeUpdate update(int readCount, int total, std::time_t now, bool elapsedShown, const LanguageTable& texts);

 private:
  std::time_t okTime_;
  std::time_t readerStart_;
  long long lastShown_ = 0;
};

}  // namespace lmv
