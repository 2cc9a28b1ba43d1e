// The recording journal against a real recording: what it recovers is the
// store exactly as it stood (records, counts, times, extremes, graph
// scaling), a torn or damaged tail costs only the frame it hits, and a
// save or a clear leaves no journal behind.
#include "files/record_journal.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <functional>
#include <optional>

#include "base/settings.h"
#include "fake_ui_host.h"
#include "record/record_controls.h"
#include "record/window_title.h"
#include "files/file_chooser.h"
#include "files/record_file.h"
#include "files/record_file_commands.h"
#include "files/record_file_io.h"
#include "monitor/format_value.h"
#include "monitor/range_table.h"
#include "monitor/value_codes.h"
#include "record_fakes.h"
#include "test_files.h"
#include "ui/language_table.h"

namespace lmv {
namespace {

using namespace std::chrono_literals;

constexpr PixelRect kPlot{0, 0, 400, 300};

struct Value {
  int32_t code;
  int32_t range;
  int32_t unit;
};

// Hands over the next value each time the list shows a new row, so that
// every sample of a run can differ.
class Feeder final : public RecordPageObserver {
 public:
  std::function<void()> onRow;
  void rowsReset() override {}
  void rowAppended(int) override { onRow(); }
  void rowRemoved(int) override {}
  void selectionChanged(int) override {}
};

bool exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

class RecordJournalTest : public ::testing::Test {
 protected:
  RecordJournalTest()
      : recording(host, handOver, clock, env, recordingFlag, startPending),
        journal(journalSlot.emplace(journalFilePath(dir.path()), settings, recording, RecordJournalOptions{50, {}})) {
    setenv("TZ", "UTC", 1);
    tzset();
    env.header.companyText = "TAVEK";
    env.header.memoText = "メモ";
    storeRecordHeader(settings, env.header);
    settings.decimalSymbol = 1;
    settings.listSeparator = 1;
    recording.initialise(kPlot);
    recording.setJournal(&journal);
    feeder.onRow = [this] { feedNext(); };
    recording.list().model().setObserver(&feeder);
  }
  ~RecordJournalTest() override { clock.openGate(); }

  void put(const Value& v) {
    HandOverValue h;
    h.recordCopy.valueText = formatStoredValue(v.code, v.range, v.unit);
    h.recordCopy.unitText = std::string(rangeUnit[rangeTableIndex(v.range, v.unit)]);
    h.recordCopy.functionText = "LUX";
    h.recordCopy.rangeText = std::string(rangeLabel(v.range, v.unit));
    h.recordCopy.overMark = isOverCode(v.code) ? 1 : 0;
    h.pasteCopy = h.recordCopy;
    h.valueCode = v.code;
    h.rangeIndex = v.range;
    h.unitCode = v.unit;
    handOver.put(h);
  }
  void feedNext() {
    if (values.empty()) return;
    put(values[next % values.size()]);
    ++next;
  }

  void run(int count, std::vector<Value> runValues) {
    values = std::move(runValues);
    next = 0;
    feedNext();
    env.settings.dataCount = count;
    recording.onStart();
    ASSERT_TRUE(recording.isRecording());
    ASSERT_TRUE(host.pumpUntil([&] { return !recording.isRecording(); }, 2min));
    host.pumpOnce();
  }
  void manual(const Value& v) {
    values.clear();
    put(v);
    clock.advance(1000);
    recording.onManual();
  }
  // A few runs and manual samples of every kind of value.
  void recordMixedSession() {
    run(9, {{300, 3, 0}, {CodeOver, 3, 0}, {100, 3, 0}, {CodeNoValue, 3, 0}, {1999, 2, 0}, {-5, 1, 0}, {25000, 4, 0}});
    manual({42, 2, 0});
    run(6, {{1234, 3, 1}, {CodeNotConnected, 3, 1}, {19999, 5, 1}, {7, 1, 1}});
    manual({CodeOverNegative, 3, 0});
    manual({8, 1, 0});
    run(25, {{500, 3, 0}, {501, 3, 0}, {499, 3, 0}, {2000, 4, 0}});
  }

  // What a save would write now: the store with its extremes and graph.
  RecordFileContents liveContents() const {
    RecordFileContents c;
    c.settings = env.settings;
    c.header = env.header;
    c.decimalSymbol = settings.decimalSymbol;
    c.listSeparator = settings.listSeparator;
    c.identity = env.meter;
    c.state = recording.store().state;
    c.records = recording.store().records;
    c.graph = recording.graph().state();
    return c;
  }
  std::vector<uint8_t> journalBytes() {
    journal.flush();
    return test::fileBytes(journal.path());
  }

  test::TempDir dir;
  test::FakeUiHost host;
  test::FakeRecordClock clock;
  test::FakeRecordEnvironment env;
  HandOverArea handOver;
  AppSettings settings;
  std::atomic<int32_t> recordingFlag{0};
  std::atomic<int32_t> startPending{0};
  Recording recording;
  std::optional<RecordJournal> journalSlot;
  RecordJournal& journal;
  Feeder feeder;
  std::vector<Value> values;
  size_t next = 0;
};

void expectSameStore(const RecordFileContents& recovered, const RecordFileContents& live) {
  EXPECT_EQ(recovered.records, live.records);
  EXPECT_EQ(recovered.state.recordCount, live.state.recordCount);
  EXPECT_EQ(recovered.state.runCount, live.state.runCount);
  EXPECT_EQ(recovered.state.maxText, live.state.maxText);
  EXPECT_EQ(recovered.state.minText, live.state.minText);
  EXPECT_EQ(recovered.state.runStartText, live.state.runStartText);
  EXPECT_EQ(recovered.state.runStopText, live.state.runStopText);
  EXPECT_EQ(recovered.state.lastRangeText, live.state.lastRangeText);
  EXPECT_EQ(recovered.graph.axisTop, live.graph.axisTop);
  EXPECT_EQ(recovered.graph.axisBottom, live.graph.axisBottom);
  EXPECT_EQ(recovered.graph.maxCount, live.graph.maxCount);
  EXPECT_EQ(recovered.graph.minCount, live.graph.minCount);
  EXPECT_EQ(recovered.graph.labelDecimals, live.graph.labelDecimals);
  EXPECT_EQ(recovered.graph.timeSpan, live.graph.timeSpan);
  EXPECT_EQ(recovered.graph.runFirstRecord, live.graph.runFirstRecord);
  EXPECT_EQ(recovered.header, live.header);
  // Every field a record file keeps, byte for byte.
  EXPECT_EQ(encodeRecordFile(recovered), encodeRecordFile(live));
  EXPECT_EQ(recovered.state.fileBound, 0);
  EXPECT_EQ(recovered.state.dataSaved, live.records.empty() ? 1 : 0);
}

TEST_F(RecordJournalTest, RecoversTheStoreExactlyAsItStood) {
  recordMixedSession();
  ASSERT_EQ(recording.store().records.size(), 43u);
  const JournalFileRecovery found = readJournalFile(journal.path());
  ASSERT_TRUE(found.found);
  ASSERT_EQ(found.recovery.outcome, JournalOutcome::Recovered);
  EXPECT_FALSE(found.recovery.damaged);
  EXPECT_FALSE(found.recovery.runInterrupted);
  EXPECT_EQ(found.recovery.samplesRecovered, 43);
  expectSameStore(found.recovery.contents, liveContents());
  EXPECT_EQ(journalRecoveredMessage(found.recovery, kLanguageEnglish), "43 records were recovered.");
  EXPECT_EQ(journalRecoveredMessage(found.recovery, kLanguageJapanese), "43 件のデータを復元しました。");
}

TEST_F(RecordJournalTest, RecoveryGoesIntoTheStoreAsUnsavedRecords) {
  recordMixedSession();
  const RecordFileContents live = liveContents();
  JournalFileRecovery found = readJournalFile(journal.path());
  ASSERT_EQ(found.recovery.outcome, JournalOutcome::Recovered);

  AppSettings otherSettings;
  RecordStore store;
  GraphState graph;
  graph.plotRect = kPlot;
  applyRecoveredRecords(found.recovery.contents, {otherSettings, store, graph});
  EXPECT_EQ(store.records, live.records);
  EXPECT_EQ(store.state.dataSaved, 0);
  EXPECT_EQ(store.state.fileBound, 0);
  EXPECT_EQ(recordHeaderOf(otherSettings), env.header);
  EXPECT_EQ(otherSettings.decimalSymbol, 1);
  EXPECT_EQ(graph.plotRect.right, kPlot.right);
  EXPECT_EQ(graph.axisTop, live.graph.axisTop);
}

TEST_F(RecordJournalTest, ARunCutOffByACrashEndsAtItsLastSample) {
  run(3, {{100, 3, 0}});
  // The clock stops 4.2 s into the next run: the program "dies" there.
  clock.setGate(clock.now() + 4200);
  values = {{10, 3, 0}, {20, 3, 0}, {5, 3, 0}};
  next = 0;
  feedNext();
  env.settings.dataCount = 100;
  recording.onStart();
  ASSERT_TRUE(host.pumpUntil([&] { return recording.store().state.runCount == 4; }, 2min));

  const JournalRecovery r = recoverJournal(journalBytes());
  ASSERT_EQ(r.outcome, JournalOutcome::Recovered);
  EXPECT_TRUE(r.runInterrupted);
  EXPECT_EQ(r.contents.records, recording.store().records);
  EXPECT_EQ(r.contents.state.runCount, 4);
  EXPECT_EQ(r.contents.state.runStopTime.value, recording.store().records.back().dtTimeDays);
  EXPECT_EQ(r.contents.state.minText, recording.store().state.minText);
  clock.openGate();
  recording.onStop();
}

// Where the tail of a journal is cut or spoilt, counted from the start of
// the last sample frame (the journal ends with the last run's end frame).
struct TailDamage {
  const char* name;
  std::function<void(std::vector<uint8_t>& bytes, size_t lastSample, size_t runEnd)> spoil;
  int samplesLost;
};

class TornJournal : public RecordJournalTest, public ::testing::WithParamInterface<TailDamage> {};

TEST_P(TornJournal, KeepsEveryWholeRecordBeforeTheDamage) {
  run(12, {{100, 3, 0}, {250, 3, 0}, {75, 3, 0}});
  std::vector<uint8_t> bytes = journalBytes();
  // Frames end with a run end (tag, length, stop date, text, CRC) after
  // the last sample frame.
  const JournalRecovery whole = recoverJournal(bytes);
  ASSERT_EQ(whole.samplesRecovered, 12);
  const std::vector<uint8_t> endFrame = runEndFrame(recording.store().state.runStopTime,
                                                    recording.store().state.runStopText);
  const JournalSample lastSample{false, false, recording.store().records.back(), "75", "lx", 0};
  const size_t runEnd = bytes.size() - endFrame.size();
  const size_t lastSampleAt = runEnd - sampleFrame(lastSample).size();
  ASSERT_EQ(bytes[lastSampleAt], 'A');

  GetParam().spoil(bytes, lastSampleAt, runEnd);
  const JournalRecovery r = recoverJournal(bytes);
  ASSERT_EQ(r.outcome, JournalOutcome::Recovered);
  const size_t kept = 12 - static_cast<size_t>(GetParam().samplesLost);
  EXPECT_EQ(r.samplesRecovered, static_cast<int32_t>(kept));
  ASSERT_EQ(r.contents.records.size(), kept);
  EXPECT_TRUE(std::equal(r.contents.records.begin(), r.contents.records.end(), recording.store().records.begin()));
  EXPECT_TRUE(r.damaged);
  EXPECT_EQ(r.contents.state.recordCount, static_cast<int32_t>(kept));
  EXPECT_NE(journalRecoveredMessage(r, kLanguageEnglish).find("damaged"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TornJournal,
    ::testing::Values(
        TailDamage{"CutInTheTag", [](auto& b, size_t s, size_t) { b.resize(s + 1); }, 1},
        TailDamage{"CutInTheLength", [](auto& b, size_t s, size_t) { b.resize(s + 3); }, 1},
        TailDamage{"CutInTheRecord", [](auto& b, size_t s, size_t) { b.resize(s + 20); }, 1},
        TailDamage{"CutInTheChecksum", [](auto& b, size_t, size_t e) { b.resize(e - 1); }, 1},
        TailDamage{"OneBitFlipped", [](auto& b, size_t s, size_t) { b[s + 12] ^= 0x10; }, 1},
        TailDamage{"HugeLength", [](auto& b, size_t s, size_t) { b[s + 4] = 0x7F; }, 1},
        TailDamage{"GarbageAfterTheRunEnd",
                   [](auto& b, size_t, size_t) {
                     for (int i = 0; i < 50; ++i) b.push_back(static_cast<uint8_t>(i * 37));
                   },
                   0},
        TailDamage{"ZerosInsteadOfTheRunEnd",
                   [](auto& b, size_t, size_t e) { std::fill(b.begin() + static_cast<long>(e), b.end(), 0); }, 0},
        TailDamage{"UnknownFrameKind", [](auto& b, size_t s, size_t) { b[s] = 'Z'; }, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecordJournalTest, EveryCutOfTheLastFrameLosesOnlyThatFrame) {
  run(4, {{100, 3, 0}, {250, 3, 0}});
  const std::vector<uint8_t> bytes = journalBytes();
  const std::vector<uint8_t> endFrame =
      runEndFrame(recording.store().state.runStopTime, recording.store().state.runStopText);
  const size_t runEnd = bytes.size() - endFrame.size();
  const size_t lastSampleAt = runEnd - sampleFrame({false, false, recording.store().records.back(), "250", "lx", 0}).size();
  for (size_t cut = lastSampleAt + 1; cut < runEnd; ++cut) {
    const JournalRecovery r = recoverJournal(std::span(bytes.data(), cut));
    ASSERT_EQ(r.samplesRecovered, 3) << "cut at " << cut;
    ASSERT_TRUE(r.damaged);
    ASSERT_TRUE(r.runInterrupted);
  }
  // Cut between frames: nothing damaged, the run counts as interrupted.
  const JournalRecovery atFrame = recoverJournal(std::span(bytes.data(), runEnd));
  EXPECT_EQ(atFrame.samplesRecovered, 4);
  EXPECT_FALSE(atFrame.damaged);
  EXPECT_TRUE(atFrame.runInterrupted);
}

TEST_F(RecordJournalTest, NoJournalBeforeTheFirstSampleAndNoneAfterASave) {
  EXPECT_FALSE(exists(journal.path()));
  run(3, {{100, 3, 0}});
  EXPECT_TRUE(exists(journal.path()));

  struct NoChooser final : FileChooser {
    std::optional<std::string> chooseFile(const FileDialogRequest&) override { return std::nullopt; }
  } chooser;
  LanguageTable texts;
  texts.fill(kLanguageEnglish);
  RecordFileCommands commands(host, chooser, recording, env, settings, texts);
  commands.setJournal(&journal);
  // A save that fails keeps the journal; one that succeeds removes it.
  EXPECT_FALSE(commands.saveFile(dir.file("no-such-folder/saved.lxrd")));
  EXPECT_TRUE(exists(journal.path()));
  const std::string saved = dir.file("saved.lxrd");
  ASSERT_TRUE(commands.saveFile(saved));
  EXPECT_FALSE(exists(journal.path()));

  // The next sample starts a journal of the saved records and the new one.
  manual({9, 1, 0});
  const JournalRecovery r = recoverJournal(journalBytes());
  EXPECT_EQ(r.contents.records, recording.store().records);
  EXPECT_EQ(r.samplesRecovered, 1);

  // Opening a file replaces the unsaved records: the journal goes too.
  ASSERT_TRUE(commands.openFile(saved));
  EXPECT_FALSE(exists(journal.path()));
}

TEST_F(RecordJournalTest, ClearingAllRemovesTheJournalAndClearingOneStartsItAgain) {
  run(5, {{100, 3, 0}, {300, 3, 0}});
  recording.clearRecords(false);
  const JournalRecovery r = recoverJournal(journalBytes());
  ASSERT_EQ(r.outcome, JournalOutcome::Recovered);
  EXPECT_EQ(r.contents.records, recording.store().records);
  EXPECT_EQ(r.contents.records.size(), 4u);
  EXPECT_EQ(r.samplesRecovered, 0);

  recording.clearRecords(true);
  EXPECT_FALSE(exists(journal.path()));
}

TEST_F(RecordJournalTest, ADiskThatFailsMidFrameLeavesAJournalOfTheWholeFrames) {
  // The disk takes the base and four frames, then half of the fifth.
  int frames = 0;
  RecordJournalOptions options;
  options.flushIntervalMs = 50;
  options.writeFunction = [&frames](int fd, const void* data, size_t size) -> ssize_t {
    const bool atomicStart = size > 200;  // the base goes through the temporary file
    if (atomicStart) return ::write(fd, data, size);
    if (++frames == 5) {
      ::write(fd, data, size / 2);
      errno = ENOSPC;
      return -1;
    }
    return ::write(fd, data, size);
  };
  RecordJournal failing(dir.file("failing.journal"), settings, recording, options);
  recording.setJournal(&failing);
  run(8, {{100, 3, 0}, {300, 3, 0}});
  recording.setJournal(&journal);
  EXPECT_NE(failing.error().find("cannot write"), std::string::npos);
  EXPECT_FALSE(failing.active());

  const JournalRecovery r = recoverJournal(test::fileBytes(failing.path()));
  ASSERT_EQ(r.outcome, JournalOutcome::Recovered);
  // Frames: run start, samples 1 to 3, then the torn fourth sample.
  EXPECT_EQ(r.samplesRecovered, 3);
  EXPECT_TRUE(r.damaged);
  EXPECT_TRUE(std::equal(r.contents.records.begin(), r.contents.records.end(), recording.store().records.begin()));
}

TEST(RecordJournalFile, AMissingOrForeignFileRecoversNothing) {
  test::TempDir dir;
  EXPECT_FALSE(readJournalFile(dir.file("none")).found);
  test::writeFileBytes(dir.file("foreign"), {'h', 'e', 'l', 'l', 'o'});
  const JournalFileRecovery foreign = readJournalFile(dir.file("foreign"));
  EXPECT_TRUE(foreign.found);
  EXPECT_EQ(foreign.recovery.outcome, JournalOutcome::NotJournal);
  // A header line without a readable base.
  const std::string_view magic = kJournalMagic;
  std::vector<uint8_t> bytes(magic.begin(), magic.end());
  EXPECT_EQ(recoverJournal(bytes).outcome, JournalOutcome::NotJournal);
  const std::vector<uint8_t> frame = journalFrame(JournalFrame::Base, std::vector<uint8_t>{1, 2, 3});
  bytes.insert(bytes.end(), frame.begin(), frame.end());
  EXPECT_EQ(recoverJournal(bytes).outcome, JournalOutcome::NotJournal);
}

TEST(RecordJournalMessages, BothLanguages) {
  EXPECT_EQ(journalWaitingMessage(kLanguageEnglish), "The last recording did not end normally.\n\nRecover its records?");
  EXPECT_EQ(journalWaitingMessage(kLanguageJapanese), "前回の記録は正常に終了しませんでした。\n\n記録データを復元しますか？");
  JournalRecovery damaged;
  damaged.damaged = true;
  damaged.contents.records.resize(7);
  EXPECT_EQ(journalRecoveredMessage(damaged, kLanguageEnglish),
            "7 records were recovered.\n\nThe end of the journal was damaged; the records after the damage are lost.");
  EXPECT_EQ(journalRecoveredMessage(damaged, kLanguageJapanese),
            "7 件のデータを復元しました。\n\n記録ジャーナルの末尾が破損していたため、破損箇所以降のデータは失われました。");
}

}  // namespace
}  // namespace lmv

namespace lmv {
namespace {

// The next start of the program after a crash: a second recording with
// its file commands on the journal the first one left.
class RecoveryAtStartUp : public RecordJournalTest {
 protected:
  struct NoChooser final : FileChooser {
    std::optional<std::string> chooseFile(const FileDialogRequest&) override { return std::nullopt; }
  };
  struct NextStart {
    NextStart(RecordClock& clock, RecordEnvironment& env, const std::string& journalPath)
        : recording(ui, handOver, clock, env, recordingFlag, startPending),
          journal(journalPath, settings, recording),
          commands(ui, chooser, recording, env, settings, texts) {
      texts.fill(kLanguageEnglish);
      recording.initialise(kPlot);
      recording.setJournal(&journal);
      commands.setJournal(&journal);
    }
    test::FakeUiHost ui;
    HandOverArea handOver;
    AppSettings settings;
    std::atomic<int32_t> recordingFlag{0};
    std::atomic<int32_t> startPending{0};
    Recording recording;
    RecordJournal journal;
    NoChooser chooser;
    LanguageTable texts;
    RecordFileCommands commands;
  };

  // The first program ends without its exit sequence (killed): its journal
  // stays on disk and its lock goes with it.
  std::string killFirstProgram() {
    recording.setJournal(nullptr);
    const std::string path = journal.path();
    journalSlot.reset();
    return path;
  }
};

TEST_F(RecoveryAtStartUp, YesPutsTheRecordsBackAndShowsThem) {
  recordMixedSession();
  const RecordFileContents live = liveContents();
  NextStart next(clock, env, killFirstProgram());
  next.ui.scriptAnswers({MessageAnswer::Yes});
  ASSERT_TRUE(next.commands.offerRecovery());

  const std::vector<MessageRequest> shown = next.ui.messages();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].text, "The last recording did not end normally.\n\nRecover its records?");
  EXPECT_EQ(shown[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(shown[0].defaultAnswer, MessageAnswer::Yes);
  EXPECT_EQ(shown[1].text, "43 records were recovered.");

  const RecordStore& store = next.recording.store();
  EXPECT_EQ(store.records, live.records);
  EXPECT_EQ(store.state.dataSaved, 0);
  EXPECT_EQ(store.state.fileBound, 0);
  EXPECT_EQ(next.recording.graph().state().axisTop, live.graph.axisTop);
  EXPECT_EQ(next.ui.text(kInfoDataCount, kRecordInfoPage), "43");
  EXPECT_EQ(next.ui.text(kRunStartLabel), live.state.runStartText);
  EXPECT_EQ(next.ui.text(kRunStopLabel), live.state.runStopText);
  EXPECT_EQ(next.ui.windowTitle(), "Lumetrevisor for LX5810/LX5811  Ver1.10");
  EXPECT_TRUE(next.ui.enabled(kSaveButton));
  EXPECT_EQ(recordHeaderOf(next.settings), env.header);

  // Still unsaved: a new journal holds them, and a second crash loses nothing.
  const JournalRecovery again = recoverJournal(test::fileBytes(next.journal.path()));
  EXPECT_EQ(again.contents.records, live.records);
}

TEST_F(RecoveryAtStartUp, NoGivesTheRecordsUpAndRemovesTheJournal) {
  run(4, {{100, 3, 0}});
  NextStart next(clock, env, killFirstProgram());
  next.ui.scriptAnswers({MessageAnswer::No});
  EXPECT_FALSE(next.commands.offerRecovery());
  EXPECT_TRUE(next.recording.store().records.empty());
  EXPECT_FALSE(exists(next.journal.path()));
  EXPECT_EQ(next.ui.messages().size(), 1u);
}

// Two programs at once: the second finds the first one's live journal.
TEST_F(RecoveryAtStartUp, TheJournalOfARunningProgramIsNeitherRecoveredNorTouched) {
  run(4, {{100, 3, 0}});
  const std::vector<uint8_t> before = journalBytes();
  {
    NextStart second(clock, env, journal.path());
    EXPECT_FALSE(second.journal.owned());
    second.ui.scriptAnswers({MessageAnswer::Yes});
    EXPECT_FALSE(second.commands.offerRecovery());
    const std::vector<MessageRequest> shown = second.ui.messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, journalInUseMessage(kLanguageEnglish));
    EXPECT_EQ(shown[0].icon, MessageIcon::Warning);
    EXPECT_TRUE(second.recording.store().records.empty());
    // Its own samples, saves and clears leave the first one's journal alone.
    second.recording.onManual();
    second.recording.clearRecords(true);
    second.journal.discard();
    EXPECT_NE(second.journal.error(), "");
  }
  EXPECT_EQ(test::fileBytes(journal.path()), before);
  // The first one goes on journaling into it.
  manual({9, 1, 0});
  EXPECT_EQ(recoverJournal(journalBytes()).contents.records, recording.store().records);
  // Once it has ended, the next start owns the journal and offers it.
  NextStart next(clock, env, killFirstProgram());
  EXPECT_TRUE(next.journal.owned());
  next.ui.scriptAnswers({MessageAnswer::Yes});
  EXPECT_TRUE(next.commands.offerRecovery());
  EXPECT_EQ(next.recording.store().records.size(), 5u);
}

TEST(RecordJournalMessages, InUseInBothLanguages) {
  EXPECT_NE(journalInUseMessage(kLanguageEnglish).find("Another Lumetrevisor is running"), std::string::npos);
  EXPECT_NE(journalInUseMessage(kLanguageJapanese).find("別の Lumetrevisor が実行中"), std::string::npos);
}

TEST_F(RecoveryAtStartUp, NothingIsAskedWithoutAJournal) {
  NextStart next(clock, env, killFirstProgram());
  EXPECT_FALSE(next.commands.offerRecovery());
  EXPECT_TRUE(next.ui.messages().empty());
}

}  // namespace
}  // namespace lmv
