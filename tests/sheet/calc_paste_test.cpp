// Captures into a real headless office: the capture logic with the
// LibreOffice backend, and lumetrevisor-cli paste against the simulated
// meter. One office serves the whole suite (each start costs seconds).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <limits>
#include <memory>
#include <thread>

#include "cli_run.h"
#include "fake_ui_host.h"
#include "headless_office.h"
#include "office_probe.h"
#include "sheet/paste_capture.h"
#include "sheet/uno/uno_sheet_office.h"
#include "sim_fixture.h"
#include "stepped_clock.h"

namespace lmv::test {
namespace {

int seconds(const std::string& hhmmss) {
  return std::stoi(hhmmss.substr(0, 2)) * 3600 + std::stoi(hhmmss.substr(3, 2)) * 60 + std::stoi(hhmmss.substr(6, 2));
}

class CalcPasteTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { office_ = new HeadlessOffice; }
  static void TearDownTestSuite() {
    delete office_;
    office_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(office_->running());
    probe = std::make_unique<OfficeProbe>(office_->pipeName());
    probe->newDocument();
  }
  void TearDown() override {
    if (probe) probe->closeDocument();
  }

  std::vector<std::string> row(const SheetCell& start, int count = 8) {
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i) out.push_back(probe->text({start.sheet, start.column + i, start.row}));
    return out;
  }

  static HeadlessOffice* office_;
  std::unique_ptr<OfficeProbe> probe;
};

HeadlessOffice* CalcPasteTest::office_ = nullptr;

TEST_F(CalcPasteTest, NumbersGoOnAcrossStopAndStart) {
  FakeUiHost ui;
  LanguageTable texts;
  texts.fill(kLanguageEnglish);
  HandOverArea handOver;
  HandOverValue v;
  v.pasteCopy.rangeText = "200";
  v.pasteCopy.valueText = "123.4";
  v.pasteCopy.unitText = "lx";
  handOver.put(v);
  SteppedClock clock;
  int written = 0;
  PasteHooks hooks;
  hooks.meterConnected = [] { return true; };
  hooks.rowDone = [&](RowWrite r) { written += r == RowWrite::Written; };
  OfficeOptions options;
  options.pipeName = office_->pipeName();
  options.startCommand.clear();
  {
    PasteCapture paste(makeUnoSheetOffice(options), ui, texts, handOver, clock, hooks);
    paste.initialise(PasteSettings{0, 0, 0});
    probe->moveCursor({0, 2, 3});
    ASSERT_TRUE(paste.onOpen(OpenMode::NewOrRunning, ""));

    clock.setGate(kStartMs + 500 + 1000);  // two captures, then time stops
    paste.onStartStop();
    ASSERT_TRUE(ui.pumpUntil([&] { return written == 2; }));
    paste.onStartStop();
    EXPECT_FALSE(paste.captureThreadRunning());
    // One more capture, when the clock's second changes after the start.
    clock.setGate(kStartMs + 500 + 2000);
    paste.onStartStop();
    ASSERT_TRUE(ui.pumpUntil([&] { return written == 3; }));
    paste.onStartStop();
    EXPECT_FALSE(paste.captureThreadRunning());
    ui.pumpFor(std::chrono::milliseconds(50));
    EXPECT_EQ(written, 3);
    EXPECT_EQ(row({0, 2, 3}, 7), (std::vector<std::string>{"1", "2014/07/07", "09:05:04", "200", "123.4", "lx", ""}));
    EXPECT_EQ(probe->text({0, 4, 4}), "09:05:05");
    EXPECT_EQ(probe->text({0, 4, 5}), "09:05:06");
    for (int i = 0; i < written; ++i) EXPECT_EQ(probe->text({0, 2, 3 + i}), std::to_string(i + 1));
    EXPECT_EQ(probe->text({0, 2, 3 + written}), "");
    EXPECT_EQ(probe->cursor(), (SheetCell{0, 2, 3 + written}));
    EXPECT_EQ(paste.counters().rowNumber, written);
  }
  EXPECT_TRUE(ui.messages().empty());
}

TEST_F(CalcPasteTest, CliWritesThreeRowsASecondApart) {
  probe->moveCursor({0, 3, 7});
  SimulatedMeter meter;
  char pattern[] = "/tmp/lmv-paste-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  const std::string dir = pattern;
  ::setenv("LUMETREVISOR_OFFICE_PIPE", office_->pipeName().c_str(), 1);
  const CliRun run = runCli({"paste", "--port", meter.path(), "--interval", "1", "--count", "3", "--settings",
                             dir + "/none.ini", "--lang", "en"},
                            dir);
  ::unsetenv("LUMETREVISOR_OFFICE_PIPE");
  std::system(("rm -rf '" + dir + "'").c_str());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "1\n2\n3\n");

  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const std::vector<std::string> cells = row({0, 3, 7 + i});
    EXPECT_EQ(cells[0], std::to_string(i + 1));
    EXPECT_EQ(cells[1].size(), 10u);  // YYYY/MM/DD
    EXPECT_EQ(cells[2].size(), 8u);   // hh:mm:ss
    for (int c = 3; c < 6; ++c) EXPECT_FALSE(cells[size_t(c)].empty()) << c;
    EXPECT_EQ(cells[7], "");  // seven cells only
    if (i > 0) {
      EXPECT_EQ((seconds(cells[2]) - seconds(row({0, 3, 6 + i})[2]) + 86400) % 86400, 1);
    }
  }
  EXPECT_EQ(probe->text({0, 3, 10}), "");
  EXPECT_EQ(probe->cursor(), (SheetCell{0, 3, 10}));
}

TEST_F(CalcPasteTest, CliWritesOneRowPerInputLineUntilTheInputEnds) {
  probe->moveCursor({0, 1, 2});
  SimulatedMeter meter;
  char pattern[] = "/tmp/lmv-paste-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  const std::string dir = pattern;
  {
    std::ofstream(dir + "/keys") << "\n\nlast line without its end";
  }
  // The input comes from a file, so runCli's own redirection is not used.
  const std::string command = "cd " + shellQuoted(dir) + " && LUMETREVISOR_OFFICE_PIPE=" +
                              shellQuoted(office_->pipeName()) + " LC_ALL=C.UTF-8 TZ=UTC " +
                              shellQuoted(LMV_BINARY_DIR "/src/cli/lumetrevisor-cli") + " paste --port " +
                              shellQuoted(meter.path()) + " --by-return-key --settings none.ini --lang en" +
                              " <keys >cli.out 2>cli.err";
  const int status = std::system(command.c_str());
  const std::string out = wholeFile(dir + "/cli.out"), err = wholeFile(dir + "/cli.err");
  std::system(("rm -rf '" + dir + "'").c_str());
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0) << err;
  EXPECT_EQ(out, "1\n2\n3\n");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(probe->text({0, 1, 2 + i}), std::to_string(i + 1));
  EXPECT_EQ(probe->text({0, 1, 5}), "");
}

TEST_F(CalcPasteTest, CliEndsWhenTheDocumentIsClosed) {
  probe->moveCursor({0, 1, 1});
  SimulatedMeter meter;
  char pattern[] = "/tmp/lmv-paste-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  const std::string dir = pattern;
  ::setenv("LUMETREVISOR_OFFICE_PIPE", office_->pipeName().c_str(), 1);
  CliRun run;
  std::thread cli([&] {
    run = runCli({"paste", "--port", meter.path(), "--interval", "1", "--settings", dir + "/none.ini", "--lang", "en"},
                 dir);
  });
  // The user closes the document once the first row is there.
  for (int i = 0; i < 300 && probe->text({0, 1, 1}).empty(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(probe->text({0, 1, 1}), "1");
  probe->closeDocument();
  cli.join();
  ::unsetenv("LUMETREVISOR_OFFICE_PIPE");
  std::system(("rm -rf '" + dir + "'").c_str());
  probe->newDocument();  // for TearDown
  EXPECT_EQ(run.exitCode, 3) << run.err;
  EXPECT_NE(run.err.find("The data caputure is ended,"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace lmv::test
