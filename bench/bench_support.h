#pragma once
// What the benchmarks share: a user-interface host that shows nothing, a
// record clock that never lets the timing thread tick on its own (the
// benchmark hands the ticks over itself), the main window's values as plain
// fields, and a recorded run's samples.
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "record/record_clock.h"
#include "record/record_store.h"
#include "record/recording.h"
#include "ui/ui_host.h"

namespace lmv::bench {

// 2014-07-07 00:00 local time.
inline constexpr double kBenchDay = 41827.0;

class QuietUiHost final : public UiHost {
 public:
  void setText(int, int, std::string_view) override {}
  void setEnabled(int, int, bool) override {}
  void setVisible(int, int, bool) override {}
  void setComboItems(int, int, const std::vector<std::string>&) override {}
  void setComboSelection(int, int, int) override {}
  void setMenuEnabled(int, bool) override {}
  void setWindowTitle(int, std::string_view) override {}
  void openDialog(int) override {}
  void closeDialog(int) override {}
  MessageAnswer showMessage(const MessageRequest&) override { return MessageAnswer::Ok; }
  void send(std::function<void()> handler) override { handler(); }
  void post(std::function<void()>) override {}
  void setTimer(int, std::chrono::milliseconds, std::function<void()>) override {}
  void killTimer(int) override {}
};

// Time stands still for the timing thread, which therefore never finds a
// sample due; its polls sleep for real so that it costs nothing.
class StillRecordClock final : public RecordClock {
 public:
  std::time_t calendarSeconds() override { return 1404691200; }
  int64_t milliseconds() override { return 0; }
  void sleepMilliseconds(int) override { std::this_thread::sleep_for(std::chrono::milliseconds(20)); }
};

class BenchRecordEnvironment final : public RecordEnvironment {
 public:
  RecordSettings settings;
  RecordSettings recordSettings() const override { return settings; }
  RecordHeader recordHeader() const override { return {}; }
  bool statusInvalid() const override { return false; }
  bool meterConnected() const override { return true; }
  MeterIdentity connectedMeter() const override { return {0, "SN0001", "1.00"}; }
  bool captureRunning() const override { return false; }
  std::string languageText(int) const override { return {}; }
  void memoryMenuState(int) override {}
  void fileMenuState(int, int) override {}
};

// A fast-mode run (ten samples a second) of a slowly wandering light in
// range 3, with the odd over-range sample and the odd failed pass.
class RunSource {
 public:
  _RECORD_DATA next() {
    value_ = std::clamp<int32_t>(value_ + static_cast<int32_t>(rng_() % 41) - 20, 200, 1800);
    _RECORD_DATA r;
    r.nValue = value_;
    const uint32_t pick = rng_() % 20000;
    if (pick == 0) r.nValue = 1000000;
    if (pick == 1) r.nValue = 2000000;
    r.nRange = 3;
    r.dtTimeDays = kBenchDay + static_cast<double>(count_ / 10) / 86400.0;
    ++count_;
    return r;
  }
  int64_t count() const { return count_; }

 private:
  std::mt19937 rng_{20140707};
  int32_t value_ = 1000;
  int64_t count_ = 0;
};

inline RecordArray runOf(size_t n) {
  RunSource source;
  RecordArray records;
  records.reserve(n);
  for (size_t i = 0; i < n; ++i) records.push_back(source.next());
  return records;
}

// A folder for the benchmark's files: LMV_BENCH_DIR when set (kept, for the
// comparison with pandas), else a fresh one removed at exit.
inline const std::filesystem::path& benchFolder() {
  static const std::filesystem::path folder = [] {
    if (const char* kept = std::getenv("LMV_BENCH_DIR"); kept && *kept) {
      std::filesystem::create_directories(kept);
      return std::filesystem::path(kept);
    }
    const char* tmp = std::getenv("TMPDIR");
    std::filesystem::path p = std::filesystem::path(tmp && *tmp ? tmp : "/tmp") /
                              ("lumetrevisor-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(p);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(benchFolder(), ignored);
    });
    return p;
  }();
  return folder;
}

}  // namespace lmv::bench
