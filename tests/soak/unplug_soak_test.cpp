// The unplug soak: with automatic connection on, the meter is pulled and
// plugged in again many times while a recording runs at the fast interval,
// each time after an outage of a random length up to 5 s. Every pull must
// end the run, the program must find the meter again by itself, a new run
// starts once it is back, nothing may hang or crash, no thread may be left
// behind, and at the end the store and the journal hold every sample of
// every run.
//
// LMV_SOAK_CYCLES sets the number of pulls (10 by default; scripts/soak.sh
// runs 100), LMV_SOAK_SEED the random seed.
#include <dirent.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <random>

#include "app/monitor_control.h"
#include "base/settings.h"
#include "files/record_file.h"
#include "link/port_numbering.h"
#include "fake_ui_host.h"
#include "files/record_journal.h"
#include "link/explicit_ports.h"
#include "link/port_list.h"
#include "record/record_clock.h"
#include "record/recording.h"
#include "sim_fixture.h"
#include "test_files.h"
#include "ui/language_table.h"
#include "ui/monitor_controls.h"

namespace lmv {
namespace {

using namespace std::chrono_literals;
// Hang guard of every wait: far beyond anything a working program needs.
constexpr auto kHangGuard = 3min;

int taskCount() {
  int n = 0;
  if (DIR* d = ::opendir("/proc/self/task")) {
    while (const dirent* e = ::readdir(d)) n += e->d_name[0] != '.';
    ::closedir(d);
  }
  return n;
}

long envNumber(const char* name, long fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::strtol(v, nullptr, 10) : fallback;
}

// The rest of the main window as the recording sees it: the live session.
class SessionEnvironment final : public RecordEnvironment {
 public:
  SessionEnvironment(MeterSession& session, const AppSettings& settings) : session_(session), settings_(settings) {}
  RecordSettings recordSettings() const override { return recordSettingsOf(settings_); }
  RecordHeader recordHeader() const override { return recordHeaderOf(settings_); }
  bool statusInvalid() const override { return session_.block.statusInvalid() != 0; }
  bool meterConnected() const override { return session_.meterConnected != 0; }
  MeterIdentity connectedMeter() const override { return session_.identity(); }
  bool captureRunning() const override { return false; }
  std::string languageText(int entry) const override { return languageTable().text(entry); }
  void memoryMenuState(int) override {}
  void fileMenuState(int, int) override {}

 private:
  MeterSession& session_;
  const AppSettings& settings_;
};

TEST(UnplugSoak, RecordingSurvivesTheMeterComingAndGoing) {
  const long cycles = envNumber("LMV_SOAK_CYCLES", 10);
  const auto seed = static_cast<unsigned>(envNumber("LMV_SOAK_SEED", 20261210));
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> outageMs(0, 5000);
  std::uniform_int_distribution<int> samplesPerRun(3, 25);
  std::cout << "soak: " << cycles << " cycles, seed " << seed << std::endl;

  FillLanguageTable(kLanguageEnglish);
  currentBaud = 19200;
  currentPort = kNoPort;
  portList().replace({});
  const int tasksBefore = taskCount();
  test::TempDir dir;
  size_t samplesTaken = 0;
  std::vector<RecordArray> runs;
  {
    AppSettings settings;
    settings.intervalMode = 1;  // fast: every 100 ms
    settings.fastIntervalIndex = 0;
    settings.totalMode = 0;
    settings.dataCount = 1048576;
    test::FakeUiHost ui;
    MeterSession session;
    SessionEnvironment env(session, settings);
    std::atomic<int32_t> recordingFlag{0};
    std::atomic<int32_t> startPending{0};
    auto meter = std::make_unique<test::SimulatedMeter>();
    std::optional<RecordJournal> journal;
    Recording recording(ui, session.handOver, systemRecordClock(), env, recordingFlag, startPending);
    recording.initialise(PixelRect{0, 0, 400, 300});
    journal.emplace(journalFilePath(dir.path()), settings, recording);
    recording.setJournal(&*journal);
    session.setRecordingHooks({[&] { return recordingFlag.load() != 0; }, [&] { recording.requestStop(); }});

    int connects = 0, disconnects = 0;
    MonitorHooks hooks;
    hooks.stopRecordingThreads = [&] { recording.stopTimer(); };
    hooks.connected = [&](const MeterIdentity& m) {
      ++connects;
      recording.onMeterConnected(m);
    };
    hooks.disconnected = [&] {
      ++disconnects;
      recording.onMeterDisconnected();
    };
    auto control = std::make_unique<MonitorControl>(ui, session, std::move(hooks));
    portList().replace(enumeratePorts());
    control->startUp(true);

    for (long cycle = 0; cycle < cycles; ++cycle) {
      // The program finds the meter by itself; the monitor delivers.
      ASSERT_TRUE(ui.pumpUntil([&] { return session.meterConnected && session.block.statusInvalid() == 0; },
                               kHangGuard))
          << "cycle " << cycle << ": the meter was not found again";
      ASSERT_EQ(connects, cycle + 1);

      // A run at the fast interval, then the cable is pulled.
      const size_t before = recording.store().records.size();
      recording.onStart();
      ASSERT_TRUE(recording.isRecording()) << "cycle " << cycle;
      const int wanted = samplesPerRun(random);
      // (runCount holds the last run's count until this run's first sample.)
      ASSERT_TRUE(ui.pumpUntil([&] { return recording.store().records.size() >= before + wanted; }, kHangGuard))
          << "cycle " << cycle;
      meter->simulator().hangUp();
      ASSERT_TRUE(ui.pumpUntil([&] { return !session.meterConnected && !recording.isRecording(); }, kHangGuard))
          << "cycle " << cycle << ": the pull did not end the run";
      ASSERT_EQ(disconnects, cycle + 1);
      EXPECT_EQ(recordingFlag.load(), 0);
      const RecordArray& all = recording.store().records;
      ASSERT_GE(all.size(), before + static_cast<size_t>(wanted));
      // The run stops at its last sample.
      EXPECT_EQ(recording.store().state.runStopTime.value, all.back().dtTimeDays);
      EXPECT_FALSE(recording.store().state.runStopText.empty());
      EXPECT_EQ(static_cast<size_t>(recording.store().state.runCount), all.size() - before);
      runs.emplace_back(all.begin() + static_cast<long>(before), all.end());
      samplesTaken += all.size() - before;
      // Nothing comes in while the meter is away.
      const size_t atPull = all.size();

      // The outage, then the meter is back (a new terminal, as after a
      // re-plug) and the system reports the device change.
      meter.reset();
      ui.pumpFor(std::chrono::milliseconds(outageMs(random)));
      EXPECT_EQ(recording.store().records.size(), atPull);
      EXPECT_FALSE(session.meterConnected);
      meter = std::make_unique<test::SimulatedMeter>();
      control->onDeviceChange();
    }
    ASSERT_TRUE(ui.pumpUntil([&] { return session.meterConnected != 0; }, kHangGuard));

    // Every sample of every run is in the store, in order, and in the journal.
    const RecordArray& records = recording.store().records;
    ASSERT_EQ(records.size(), samplesTaken);
    ASSERT_EQ(recording.store().state.recordCount, static_cast<int32_t>(samplesTaken));
    size_t at = 0;
    for (const RecordArray& run : runs) {
      for (const _RECORD_DATA& r : run) ASSERT_EQ(records[at++], r);
    }
    journal->flush();
    const JournalRecovery recovered = recoverJournal(test::fileBytes(journal->path()));
    ASSERT_EQ(recovered.outcome, JournalOutcome::Recovered);
    EXPECT_FALSE(recovered.damaged);
    EXPECT_EQ(recovered.contents.records, records);
    EXPECT_EQ(recovered.samplesRecovered, static_cast<int32_t>(samplesTaken));
    std::cout << "soak: " << cycles << " pulls, " << connects << " connections, " << runs.size() << " runs, "
              << samplesTaken << " samples, all in the store and the journal" << std::endl;

    control.reset();
    recording.setJournal(nullptr);
    journal.reset();
    meter.reset();
  }
  portList().replace({});
  // Every thread the program started was stopped and joined.
  EXPECT_EQ(taskCount(), tasksBefore);
}

}  // namespace
}  // namespace lmv
