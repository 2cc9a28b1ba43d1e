// File > Open, Save, Save As, the Save button and Save as CSV against real
// files and the real recording with its views.
#include "files/record_file_commands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/settings.h"
#include "fake_ui_host.h"
#include "files/file_chooser.h"
#include "files/record_file.h"
#include "monitor/value_codes.h"
#include "record/record_controls.h"
#include "record/recording.h"
#include "scripted_chooser.h"
#include "ui/language_table.h"
#include "unprivileged.h"

namespace lmv {
namespace {

constexpr PixelRect kPlot{0, 0, 400, 300};

class StillClock final : public RecordClock {
 public:
  std::time_t calendarSeconds() override { return 1404723903; }
  int64_t milliseconds() override { return 0; }
  void sleepMilliseconds(int) override {}
};

// The main window as the recording sees it, reading the live settings.
class SettingsEnvironment final : public RecordEnvironment {
 public:
  explicit SettingsEnvironment(const AppSettings& settings) : settings_(settings) {}
  RecordSettings recordSettings() const override { return recordSettingsOf(settings_); }
  RecordHeader recordHeader() const override { return recordHeaderOf(settings_); }
  bool statusInvalid() const override { return false; }
  bool meterConnected() const override { return true; }
  MeterIdentity connectedMeter() const override { return meter; }
  bool captureRunning() const override { return false; }
  std::string languageText(int entry) const override { return languageTable().text(entry); }
  void memoryMenuState(int) override {}
  void fileMenuState(int grey, int leaveOpen) override { fileStates.emplace_back(grey, leaveOpen); }

  MeterIdentity meter{0, "012345678", "1.00"};
  std::vector<std::pair<int, int>> fileStates;

 private:
  const AppSettings& settings_;
};

using test::ScriptedChooser;

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

_RECORD_DATA sample(int32_t value, int32_t range, int second) {
  _RECORD_DATA r;
  r.nValue = value;
  r.nRange = range;
  r.setDtTime(oleDateFromFields({2014, 7, 7, 9, 5, second}));
  return r;
}

// One program instance: live settings, the recording and the file commands.
struct Program {
  explicit Program(test::FakeUiHost& ui, ScriptedChooser& chooser, const LanguageTable& texts)
      : env(settings), recording(ui, handOver, clock, env, recordingFlag, startPending),
        commands(ui, chooser, recording, env, settings, texts) {
    recording.initialise(kPlot);
  }

  RecordStore& store() { return recording.store(); }

  // n samples of one run, as a recording leaves them.
  void fill(int n) {
    RecordStore& s = store();
    for (int i = 0; i < n; ++i) s.records.push_back(sample(100 + i, 3, i % 60));
    s.state.recordCount = n;
    s.state.runCount = n;
    s.state.baseTime = s.records.empty() ? OleDate{} : s.records.front().dtTime();
    s.state.lastRangeText = "2000 lx";
    s.state.runStartText = "2014/07/07,09:05:00";
    s.state.runStopText = "2014/07/07,09:05:09";
    s.state.maxText = "109 lx";
    s.state.dataSaved = n > 0 ? 0 : 1;
    recording.graph().state().runFirstRecord = 1;
  }

  AppSettings settings;
  SettingsEnvironment env;
  StillClock clock;
  HandOverArea handOver;
  std::atomic<int32_t> recordingFlag{0};
  std::atomic<int32_t> startPending{0};
  Recording recording;
  RecordFileCommands commands;
};

class RecordFileCommandsTest : public ::testing::Test {
 protected:
  RecordFileCommandsTest() {
    setenv("TZ", "UTC", 1);
    tzset();
    texts.fill(kLanguageEnglish);
    char pattern[] = "/tmp/lmv-files-XXXXXX";
    EXPECT_NE(::mkdtemp(pattern), nullptr);
    dir = pattern;
  }
  ~RecordFileCommandsTest() override { std::system(("rm -rf '" + dir + "'").c_str()); }

  std::string path(const std::string& name) const { return dir + "/" + name; }

  // A saved file of n records with settings of its own.
  std::string savedFile(const std::string& name, int n) {
    test::FakeUiHost otherUi;
    ScriptedChooser otherChooser;
    Program other(otherUi, otherChooser, texts);
    other.fill(n);
    other.settings.intervalSeconds = 5;
    other.settings.timeDisplayMode = 1;
    other.settings.companyText = "TAVEK";
    other.settings.memoText = "from the file";
    other.settings.decimalSymbol = 1;
    other.settings.listSeparator = 1;
    other.env.meter = {1, "SN-FILE", "2.00"};
    EXPECT_TRUE(other.commands.saveFile(path(name)));
    return path(name);
  }

  std::vector<std::string> messageTexts() const {
    std::vector<std::string> out;
    for (const MessageRequest& m : ui.messages()) out.push_back(m.text);
    return out;
  }

  LanguageTable texts;
  std::string dir;
  test::FakeUiHost ui;
  ScriptedChooser chooser;
};

TEST_F(RecordFileCommandsTest, OpenRestoresTheFileAndShowsIt) {
  const std::string file = savedFile("run.lxrd", 10);
  Program p(ui, chooser, texts);
  chooser.answers.push_back(file);
  p.commands.onOpen();

  ASSERT_EQ(chooser.requests.size(), 1u);
  EXPECT_EQ(chooser.requests[0].kind, FileDialogRequest::Kind::Open);
  EXPECT_EQ(chooser.requests[0].defaultExtension, "lxrd");
  EXPECT_EQ(chooser.requests[0].initialName, "*.lxrd");
  EXPECT_EQ(chooser.requests[0].filter, "lxrd file (*.lxrd)|*.lxrd||");

  // The file's settings became the live ones.
  EXPECT_EQ(p.settings.intervalSeconds, 5);
  EXPECT_EQ(p.settings.timeDisplayMode, 1);
  EXPECT_EQ(p.settings.companyText, "TAVEK");
  EXPECT_EQ(p.settings.memoText, "from the file");
  EXPECT_EQ(p.settings.decimalSymbol, 1);
  EXPECT_EQ(p.settings.listSeparator, 1);
  // The store, bound and saved, with the file's meter.
  EXPECT_EQ(p.store().records.size(), 10u);
  EXPECT_EQ(p.store().state.recordCount, 10);
  EXPECT_EQ(p.store().state.fileBound, 1);
  EXPECT_EQ(p.store().state.dataSaved, 1);
  EXPECT_EQ(p.store().fileIdentity.serialNumberText, "SN-FILE");
  EXPECT_EQ(p.store().fileIdentity.modelIndex, 1);
  EXPECT_EQ(p.store().recordFilePath, file);
  EXPECT_EQ(p.store().recordFileName, "run.lxrd");
  EXPECT_EQ(ui.windowTitle(), "Lumetrevisor for LX5810/LX5811  Ver1.10 - [run.lxrd]");
  // The views.
  EXPECT_EQ(ui.text(kInfoModel, kRecordInfoPage), "LX5811");
  EXPECT_EQ(ui.text(kInfoSerialNumber, kRecordInfoPage), "SN-FILE");
  EXPECT_EQ(ui.text(kInfoRange, kRecordInfoPage), "2000 lx");
  EXPECT_EQ(ui.text(kInfoDataCount, kRecordInfoPage), "10");
  EXPECT_EQ(ui.text(kInfoCompany, kRecordInfoPage), "TAVEK");
  EXPECT_EQ(ui.text(kInfoInterval, kRecordInfoPage), "5s");
  EXPECT_EQ(ui.text(kRunStartLabel), "2014/07/07,09:05:00");
  EXPECT_EQ(ui.text(kRunStopLabel), "2014/07/07,09:05:09");
  EXPECT_EQ(p.recording.list().pageCount(), 1);
  EXPECT_EQ(p.recording.list().lastPageRows(), 10);
  EXPECT_EQ(p.env.fileStates, (std::vector<std::pair<int, int>>{{0, 0}}));
  EXPECT_TRUE(ui.enabled(kCopyGraphButton));
  EXPECT_TRUE(ui.enabled(kSaveButton));
  EXPECT_TRUE(ui.enabled(kClearButton));
  EXPECT_TRUE(ui.messages().empty());
}

struct PagingCase {
  int records;
  int pageCount;
  int lastPageRows;
};

class OpenPaging : public RecordFileCommandsTest, public ::testing::WithParamInterface<PagingCase> {};

TEST_P(OpenPaging, ShowsTheLastPage) {
  const std::string file = savedFile("paging.lxrd", GetParam().records);
  Program p(ui, chooser, texts);
  ASSERT_TRUE(p.commands.openFile(file));
  EXPECT_EQ(p.recording.list().pageCount(), GetParam().pageCount);
  EXPECT_EQ(p.recording.list().currentPage(), GetParam().pageCount);
  EXPECT_EQ(p.recording.list().lastPageRows(), GetParam().lastPageRows);
}

// An empty file is one empty page, as after clearing.
INSTANTIATE_TEST_SUITE_P(Cases, OpenPaging,
                         ::testing::Values(PagingCase{2500, 3, 500}, PagingCase{2000, 2, 1000},
                                           PagingCase{0, 1, 0}));

// The program's state before a refused open, to compare with afterwards.
struct Snapshot {
  AppSettings settings;
  RecordArray records;
  int32_t recordCount, fileBound, dataSaved;
  std::string path, title, model, dataCount;
  int32_t runFirstRecord, axisTop;

  static Snapshot of(Program& p, const test::FakeUiHost& ui) {
    return {p.settings,
            p.store().records,
            p.store().state.recordCount,
            p.store().state.fileBound,
            p.store().state.dataSaved,
            p.store().recordFilePath,
            ui.windowTitle(),
            ui.text(kInfoModel, kRecordInfoPage),
            ui.text(kInfoDataCount, kRecordInfoPage),
            p.recording.graph().state().runFirstRecord,
            p.recording.graph().state().axisTop};
  }
  void expectSame(const Snapshot& o) const {
    EXPECT_EQ(settings, o.settings);
    EXPECT_EQ(records, o.records);
    EXPECT_EQ(recordCount, o.recordCount);
    EXPECT_EQ(fileBound, o.fileBound);
    EXPECT_EQ(dataSaved, o.dataSaved);
    EXPECT_EQ(path, o.path);
    EXPECT_EQ(title, o.title);
    EXPECT_EQ(model, o.model);
    EXPECT_EQ(dataCount, o.dataCount);
    EXPECT_EQ(runFirstRecord, o.runFirstRecord);
    EXPECT_EQ(axisTop, o.axisTop);
  }
};

struct RefusedCase {
  const char* name;
  int expectedEntry;  // -1: the file-layer message naming the file
};

class RefusedOpen : public RecordFileCommandsTest, public ::testing::WithParamInterface<RefusedCase> {
 protected:
  std::string damagedFile(const std::string& name) {
    const std::string good = readFile(savedFile("good.lxrd", 3));
    const std::string target = path("bad.lxrd");
    if (name == std::string("Foreign")) writeFile(target, "No,Date,Time\r\n1,2014/7/7,09:05:03\r\n");
    if (name == std::string("Truncated")) writeFile(target, good.substr(0, good.size() - 7));
    if (name == std::string("CutInRecords")) writeFile(target, good.substr(0, good.size() / 2));
    if (name == std::string("NegativeVersion")) {
      std::string bad = good;
      bad[64] = bad[65] = bad[66] = bad[67] = '\xFF';
      writeFile(target, bad);
    }
    if (name == std::string("Missing")) return path("missing.lxrd");
    return target;
  }
};

TEST_P(RefusedOpen, ChangesNothing) {
  const std::string file = damagedFile(GetParam().name);
  Program p(ui, chooser, texts);
  p.fill(4);
  ASSERT_TRUE(p.commands.saveFile(path("live.lxrd")));
  p.store().records.push_back(sample(5, 2, 30));  // unsaved change
  p.store().state.recordCount = 5;
  p.store().state.dataSaved = 0;
  p.settings.memoText = "live memo";
  ui.setWindowTitle(kMainDialog, "Lumetrevisor for LX5810/LX5811  Ver1.10 - [live.lxrd *]");
  const Snapshot before = Snapshot::of(p, ui);

  EXPECT_FALSE(p.commands.openFile(file));
  Snapshot::of(p, ui).expectSame(before);
  ASSERT_EQ(ui.messages().size(), 1u);
  const MessageRequest box = ui.messages()[0];
  EXPECT_EQ(box.icon, MessageIcon::Error);
  if (GetParam().expectedEntry >= 0) {
    EXPECT_EQ(box.text, texts.text(GetParam().expectedEntry));
  } else {
    EXPECT_NE(box.text.find(file), std::string::npos) << box.text;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, RefusedOpen,
                         ::testing::Values(RefusedCase{"Foreign", TextIncorrectFileFormat},
                                           RefusedCase{"NegativeVersion", TextIncompatibleDataFormat},
                                           RefusedCase{"Truncated", -1}, RefusedCase{"CutInRecords", -1},
                                           RefusedCase{"Missing", -1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecordFileCommandsTest, TruncatedFileMessageInJapanese) {
  const std::string good = readFile(savedFile("good.lxrd", 3));
  writeFile(path("cut.lxrd"), good.substr(0, 100));
  LanguageTable japanese;
  japanese.fill(kLanguageJapanese);
  Program p(ui, chooser, japanese);
  EXPECT_FALSE(p.commands.openFile(path("cut.lxrd")));
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].text, path("cut.lxrd") + " の末尾以降にアクセスしようとしました。");
}

TEST_F(RecordFileCommandsTest, SaveOnABoundFileWritesWithoutADialog) {
  Program p(ui, chooser, texts);
  ASSERT_TRUE(p.commands.openFile(savedFile("bound.lxrd", 3)));
  p.store().records.push_back(sample(7, 3, 40));
  p.store().state.recordCount = 4;
  p.store().state.dataSaved = 0;
  p.commands.onSave();
  EXPECT_TRUE(chooser.requests.empty());
  EXPECT_EQ(p.store().state.dataSaved, 1);
  const auto reread = decodeRecordFile(
      [&] { auto s = readFile(path("bound.lxrd")); return std::vector<uint8_t>(s.begin(), s.end()); }());
  ASSERT_EQ(reread.outcome, RecordFileOutcome::Read);
  EXPECT_EQ(reread.contents.records.size(), 4u);

  // Nothing unsaved: nothing happens.
  std::remove(path("bound.lxrd").c_str());
  p.commands.onSave();
  EXPECT_TRUE(chooser.requests.empty());
  EXPECT_NE(::access(path("bound.lxrd").c_str(), F_OK), 0);
}

TEST_F(RecordFileCommandsTest, SaveOnAnUnboundStoreAsksForAName) {
  Program p(ui, chooser, texts);
  p.fill(2);
  chooser.answers.push_back(path("first.lxrd"));
  p.commands.onSave();
  ASSERT_EQ(chooser.requests.size(), 1u);
  EXPECT_EQ(chooser.requests[0].kind, FileDialogRequest::Kind::Save);
  EXPECT_EQ(p.store().recordFilePath, path("first.lxrd"));
  EXPECT_EQ(ui.windowTitle(), "Lumetrevisor for LX5810/LX5811  Ver1.10 - [first.lxrd]");
}

TEST_F(RecordFileCommandsTest, SaveAsRebindsAndTheSaveButtonAlwaysAsks) {
  Program p(ui, chooser, texts);
  ASSERT_TRUE(p.commands.openFile(savedFile("old.lxrd", 3)));
  const std::string oldBytes = readFile(path("old.lxrd"));
  chooser.answers.push_back(path("new.lxrd"));
  p.commands.onSaveAs();  // also the Save button's action
  EXPECT_EQ(chooser.requests.size(), 1u);
  EXPECT_EQ(p.store().recordFilePath, path("new.lxrd"));
  EXPECT_EQ(p.store().recordFileName, "new.lxrd");
  EXPECT_EQ(ui.windowTitle(), "Lumetrevisor for LX5810/LX5811  Ver1.10 - [new.lxrd]");
  EXPECT_EQ(readFile(path("old.lxrd")), oldBytes);
  // Saved and bound, yet the button still shows the dialog; cancelling does nothing.
  p.commands.onSaveAs();
  EXPECT_EQ(chooser.requests.size(), 2u);
  EXPECT_EQ(p.store().recordFilePath, path("new.lxrd"));
}

TEST_F(RecordFileCommandsTest, SavingWritesTheConnectedMetersIdentity) {
  Program p(ui, chooser, texts);
  ASSERT_TRUE(p.commands.openFile(savedFile("meter.lxrd", 3)));  // a file of SN-FILE, LX5811
  p.env.meter = {0, "SN-OTHER", "3.00"};
  ASSERT_TRUE(p.commands.saveFile(path("other.lxrd")));
  EXPECT_EQ(p.store().fileIdentity.serialNumberText, "SN-OTHER");
  EXPECT_EQ(p.store().fileIdentity.firmwareVersionText, "3.00");
  EXPECT_EQ(p.store().fileIdentity.modelIndex, 1);  // not taken from the meter
  const std::string bytes = readFile(path("other.lxrd"));
  const auto reread = decodeRecordFile(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  EXPECT_EQ(reread.contents.identity.modelIndex, 0);
  EXPECT_EQ(reread.contents.identity.serialNumberText, "SN-OTHER");
}

TEST_F(RecordFileCommandsTest, AFailedSaveChangesNothingAndNamesTheFile) {
  Program p(ui, chooser, texts);
  ASSERT_TRUE(p.commands.openFile(savedFile("kept.lxrd", 3)));
  p.store().state.dataSaved = 0;
  const std::string target = path("no-such-folder/x.lxrd");
  EXPECT_FALSE(p.commands.saveFile(target));
  EXPECT_EQ(p.store().recordFilePath, path("kept.lxrd"));
  EXPECT_EQ(p.store().state.dataSaved, 0);
  EXPECT_EQ(ui.windowTitle(), "Lumetrevisor for LX5810/LX5811  Ver1.10 - [kept.lxrd]");
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_NE(ui.messages()[0].text.find("Can not write the file " + target + "."), std::string::npos);
}

TEST_F(RecordFileCommandsTest, SaveDataQuestionBeforeOpen) {
  const std::string file = savedFile("next.lxrd", 2);
  Program p(ui, chooser, texts);
  p.fill(3);
  // Yes, then the save dialog is cancelled: nothing saved, the open dialog still comes.
  ui.scriptAnswers({MessageAnswer::Yes});
  chooser.answers = {std::nullopt, file};
  p.commands.onOpen();
  ASSERT_EQ(messageTexts(), std::vector<std::string>{"Save data?"});
  EXPECT_EQ(ui.messages()[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(ui.messages()[0].icon, MessageIcon::Information);
  ASSERT_EQ(chooser.requests.size(), 2u);
  EXPECT_EQ(chooser.requests[0].kind, FileDialogRequest::Kind::Save);
  EXPECT_EQ(chooser.requests[1].kind, FileDialogRequest::Kind::Open);
  EXPECT_EQ(p.store().records.size(), 2u);

  // Saved data: no question.
  chooser.answers = {std::nullopt};
  p.commands.onOpen();
  EXPECT_EQ(ui.messages().size(), 1u);
}

TEST_F(RecordFileCommandsTest, CsvExportOfThePartsExample) {
  Program p(ui, chooser, texts);
  p.settings.companyOn = p.settings.titleOn = p.settings.operatorOn = 0;
  p.settings.dateOn = p.settings.tempHumidOn = p.settings.memoOn = 0;
  RecordStore& s = p.store();
  s.records = {sample(1234, 2, 3)};
  s.state.recordCount = 1;
  s.state.baseTime = s.records[0].dtTime();
  s.state.lastRangeText = "200 lx";
  s.state.dataSaved = 0;
  ui.setWindowTitle(kMainDialog, "title before");

  chooser.answers.push_back(path("example.csv"));
  p.commands.onSaveAsCsv();
  ASSERT_EQ(chooser.requests.size(), 1u);
  EXPECT_EQ(chooser.requests[0].defaultExtension, "csv");
  EXPECT_EQ(chooser.requests[0].initialName, "*.csv");
  EXPECT_EQ(chooser.requests[0].filter, "csv file (*.csv)|*.csv||");
  EXPECT_EQ(readFile(path("example.csv")),
            "Lumetrevisor for LX5810/LX5811  Ver1.10\r\n"
            "---------------------------------------\r\n"
            "Record Data\r\n"
            "Model:,TAVEK,LX5810,Ver 1.00\r\n"
            "S/N:,012345678\r\n"
            "Interval:,1s\r\n"
            "Function:,LUX\r\n"
            "Range:,200 lx\r\n"
            "\r\n"
            "Buffer:,1\r\n"
            "No,Date,Time,Range,Measured Value,Unit,OVER\r\n"
            "1,2014/7/7,09:05:03,200,123.4,lx,\r\n");
  EXPECT_EQ(s.state.dataSaved, 0);
  EXPECT_EQ(ui.windowTitle(), "title before");
}

TEST_F(RecordFileCommandsTest, CsvExportOfAnOpenedFileUsesTheFilesMeterAndSymbols) {
  Program p(ui, chooser, texts);
  ASSERT_TRUE(p.commands.openFile(savedFile("opened.lxrd", 2)));
  ASSERT_TRUE(p.commands.exportCsv(path("opened.csv")));
  const std::string csv = readFile(path("opened.csv"));
  EXPECT_NE(csv.find("Model:;TAVEK;LX5811;Ver 2.00\r\nS/N:;SN-FILE\r\n"), std::string::npos) << csv;
  EXPECT_NE(csv.find("Base Time:;2014/7/7;09:05:00\r\n"), std::string::npos) << csv;
  EXPECT_NE(csv.find("2;;00:00:01;2000;101;lx;\r\n"), std::string::npos) << csv;
}

TEST_F(RecordFileCommandsTest, CsvFileThatCannotBeCreated) {
  Program p(ui, chooser, texts);
  p.fill(1);
  EXPECT_FALSE(p.commands.exportCsv(path("missing/out.csv")));
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].text, "Can not open out.csv.");
  EXPECT_EQ(ui.messages()[0].icon, MessageIcon::Error);
}

TEST_F(RecordFileCommandsTest, AReadOnlyFileIsNeitherSavedOverNorExportedOver) {
  // Refused by the file's mode alone, so also when the tests run as root.
  Program p(ui, chooser, texts);
  ASSERT_TRUE(p.commands.openFile(savedFile("kept.lxrd", 3)));
  const std::string kept = readFile(path("kept.lxrd"));
  ASSERT_EQ(::chmod(path("kept.lxrd").c_str(), 0444), 0);
  p.store().records.push_back(sample(5, 2, 30));
  p.store().state.recordCount = 4;
  p.store().state.dataSaved = 0;
  p.commands.onSave();
  EXPECT_EQ(readFile(path("kept.lxrd")), kept);
  EXPECT_EQ(p.store().state.dataSaved, 0);
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].text, "Can not write the file " + path("kept.lxrd") + ".\n\nPermission denied");
  EXPECT_EQ(ui.messages()[0].icon, MessageIcon::Error);

  writeFile(path("kept.csv"), "old");
  ASSERT_EQ(::chmod(path("kept.csv").c_str(), 0444), 0);
  EXPECT_FALSE(p.commands.exportCsv(path("kept.csv")));
  EXPECT_EQ(readFile(path("kept.csv")), "old");
  ASSERT_EQ(ui.messages().size(), 2u);
  EXPECT_EQ(ui.messages()[1].text, "Can not open kept.csv.");
}

TEST_F(RecordFileCommandsTest, AReadOnlyFolderHoldingWritableFilesIsWrittenInPlace) {
  // The folder refuses the temporary file of a save; the files themselves
  // may be written. Checked as an unprivileged user, for whom the folder's
  // mode counts.
  ASSERT_EQ(::chmod(dir.c_str(), 0755), 0);
  const std::string folder = path("read-only");
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  writeFile(folder + "/data.lxrd", "old");
  writeFile(folder + "/data.csv", "old");
  for (const std::string& f : {folder, folder + "/data.lxrd", folder + "/data.csv"}) test::giveToUnprivileged(f, 0755);
  ASSERT_EQ(::chmod((folder + "/data.lxrd").c_str(), 0644), 0);
  ASSERT_EQ(::chmod((folder + "/data.csv").c_str(), 0644), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);

  const std::optional<int> status = test::runUnprivileged([&] {
    test::FakeUiHost childUi;
    ScriptedChooser childChooser;
    Program p(childUi, childChooser, texts);
    p.fill(3);
    const bool saved = p.commands.saveFile(folder + "/data.lxrd");
    const bool exported = p.commands.exportCsv(folder + "/data.csv");
    return (saved ? 0 : 1) | (exported ? 0 : 2) | (childUi.messages().empty() ? 0 : 4);
  });
  ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
  if (!status) GTEST_SKIP() << "cannot run a check as an unprivileged user (uid 65534)";
  EXPECT_EQ(*status, 0);
  const std::string bytes = readFile(folder + "/data.lxrd");
  const RecordFileDecodeResult saved = decodeRecordFile(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  EXPECT_EQ(saved.outcome, RecordFileOutcome::Read);
  EXPECT_EQ(saved.contents.records.size(), 3u);
  EXPECT_TRUE(readFile(folder + "/data.csv").starts_with("Lumetrevisor for LX5810/LX5811  Ver1.10\r\n"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 2);
}

}  // namespace
}  // namespace lmv
