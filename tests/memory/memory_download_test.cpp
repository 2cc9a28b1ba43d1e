// The memory download against the simulated meter on a pseudo-terminal.
#include "memory/memory_download.h"
#include "memory/memory_destination.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>

#include "fake_ui_host.h"
#include "files/csv_text.h"
#include "memory/memory_csv.h"
#include "link/serial_port.h"
#include "simulator.h"
#include "ui/language_table.h"

namespace lmv {
namespace {

struct RecordingListener : MemoryDownloadListener {
  void downloadStarted(int total, const std::string& statusText) override {
    startedTotal = total;
    startedText = statusText;
  }
  void readingProgress(int readCount, int total, const MemoryTimeUpdate& times) override {
    progress.push_back(memoryCountText(readCount, total));
    if (times.remaining) lastRemaining = *times.remaining;
  }
  void ringLevel(int waiting) override { maxWaiting = std::max(maxWaiting, waiting); }
  void downloadEnded(MemoryDownloadOutcome result, const std::string& statusText) override {
    outcome = result;
    endedText = statusText;
    ++endedCalls;
  }

  int startedTotal = -1;
  std::string startedText;
  std::vector<std::string> progress;
  std::string lastRemaining;
  int maxWaiting = 0;
  std::optional<MemoryDownloadOutcome> outcome;
  std::string endedText;
  int endedCalls = 0;
};

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class MemoryDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    texts.fill(kLanguageEnglish);
    char pattern[] = "/tmp/lmv-memory-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder = pattern;
    std::string error;
    ASSERT_TRUE(sim.start(&error)) << error;
    sim.withMeter([](sim::MeterModel& m) { m.clearMemory(); });
    port.configure(19200);
    ASSERT_TRUE(port.open(1));
  }
  void TearDown() override {
    port.close();
    sim.stop();
    std::system(("rm -rf '" + folder + "'").c_str());
  }

  void store(int slot, uint8_t flag, int8_t rangeNumber, int16_t count, uint16_t state = 0) {
    sim.withMeter([&](sim::MeterModel& m) { m.setSlot(slot, sim::MemoryRecord{flag, rangeNumber, count, state}); });
  }

  MemoryDownloadRequest request(const std::string& name = "data") {
    MemoryDownloadRequest r;
    r.path = folder + "/" + name + ".csv";
    r.fileName = name + ".csv";
    r.meter = {0, "10000123", "1.00"};
    return r;
  }

  // Starts the download and pumps until it has ended.
  bool run(MemoryDownload& download, const MemoryDownloadRequest& r) {
    const bool started = download.start(r);
    EXPECT_TRUE(ui.pumpUntil([&] { return !download.running(); }));
    return started;
  }

  std::vector<std::string> memoryCommands() {
    std::vector<std::string> out;
    for (const std::string& c : sim.commandLog())
      if (c.starts_with(":MEM")) out.push_back(c);
    return out;
  }

  std::vector<std::string> readingLines(const std::string& path) {
    std::vector<std::string> lines;
    std::string content = readFile(path);
    size_t pos = 0;
    int index = 0;
    while (pos < content.size()) {
      const size_t end = content.find("\r\n", pos);
      if (end == std::string::npos) break;
      if (index++ >= 8) lines.push_back(content.substr(pos, end - pos));
      pos = end + 2;
    }
    return lines;
  }

  LanguageTable texts;
  test::FakeUiHost ui;
  RecordingListener listener;
  sim::Simulator sim;
  std::string folder;
  SerialPort port{[this](int32_t) { return sim.slavePath(); }};
};

TEST_F(MemoryDownloadTest, ReadsOnlyTheOccupiedSlotsAndWritesTheirLines) {
  store(3, 0, 1, 123);     // range 2, 12.3 lx
  store(7, 0, 4, 123);     // range 5, 12300 lx
  store(9, 1, 1, 555);     // not a reading: skipped, still counted
  store(12, 0, 1, -1999, 3);  // negative over range
  MemoryDownload download(port, ui, texts, listener);
  ASSERT_TRUE(run(download, request()));

  EXPECT_EQ(memoryCommands(), (std::vector<std::string>{":MEM:CHECK?", ":MEM:DATA? 3", ":MEM:DATA? 7",
                                                        ":MEM:DATA? 9", ":MEM:DATA? 12"}));
  const std::string content = readFile(folder + "/data.csv");
  EXPECT_TRUE(content.starts_with("Lumetrevisor for LX5810/LX5811  Ver1.10\r\n"
                                  "---------------------------------------\r\n"
                                  "Memory Data\r\n"
                                  "Model:,TAVEK,LX5810,Ver 1.00\r\n"
                                  "S/N:,10000123\r\n"
                                  "Date:,"))
      << content;
  EXPECT_NE(content.find("\r\n\r\nNo,Range,Measured Value,Unit,OVER\r\n"), std::string::npos);
  EXPECT_EQ(readingLines(folder + "/data.csv"),
            (std::vector<std::string>{"3,200,12.3,lx,", "7,200000,12300,lx,", "12,200,-200.0,lx,"}));

  EXPECT_EQ(listener.startedTotal, 4);
  EXPECT_EQ(listener.startedText, "Reading the data from LX5810/LX5811 .......");
  EXPECT_EQ(listener.progress, (std::vector<std::string>{"1 / 4", "2 / 4", "3 / 4", "4 / 4"}));
  EXPECT_LE(listener.maxWaiting, 10);
  EXPECT_EQ(listener.outcome, MemoryDownloadOutcome::Completed);
  EXPECT_EQ(listener.endedCalls, 1);
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].text, "Completed reading data from LX5810/LX5811.");
  EXPECT_EQ(ui.messages()[0].icon, MessageIcon::Information);
  EXPECT_EQ(ui.messages()[0].ownerDialog, kMemoryDialog);
}

TEST_F(MemoryDownloadTest, FootCandleWithCommaAndSemicolon) {
  store(1, 0, 1, 1000);
  MemoryDownload download(port, ui, texts, listener);
  MemoryDownloadRequest r = request();
  r.footCandle = true;
  r.symbols = csvSymbols(1, 1);
  ASSERT_TRUE(run(download, r));
  EXPECT_EQ(readingLines(r.path), (std::vector<std::string>{"1;20;9,29;FC;"}));
  EXPECT_NE(readFile(r.path).find("No;Range;Measured Value;Unit;OVER\r\n"), std::string::npos);
}

TEST_F(MemoryDownloadTest, AMissingByteKeepsThePartialFileAndReportsTheReadingError) {
  store(3, 0, 1, 123);
  store(7, 0, 1, 456);
  store(8, 0, 1, 789);
  sim.addFault(sim::Fault{sim::FaultKind::MissingByte, ":MEM:DATA? 7", -1, 1});
  MemoryDownload download(port, ui, texts, listener);
  ASSERT_TRUE(run(download, request()));

  EXPECT_EQ(memoryCommands(), (std::vector<std::string>{":MEM:CHECK?", ":MEM:DATA? 3", ":MEM:DATA? 7"}));
  EXPECT_EQ(readingLines(folder + "/data.csv"), (std::vector<std::string>{"3,200,12.3,lx,"}));
  EXPECT_EQ(listener.outcome, MemoryDownloadOutcome::ReadError);
  EXPECT_EQ(listener.endedText, "Reading data Error. \n\nCan not read all data.");
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].text, "Reading data Error. \n\nCan not read all data.");
  EXPECT_EQ(ui.messages()[0].icon, MessageIcon::Error);
  EXPECT_FALSE(port.isOpen());  // the failed read closed it
}

TEST_F(MemoryDownloadTest, EmptyMemoryEndsWithNothingSaved) {
  MemoryDownload download(port, ui, texts, listener);
  EXPECT_FALSE(download.start(request()));
  EXPECT_FALSE(download.running());
  EXPECT_EQ(listener.outcome, MemoryDownloadOutcome::NothingSaved);
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].text, "Data has not been saved.");
  EXPECT_EQ(ui.messages()[0].icon, MessageIcon::Information);
  EXPECT_EQ(memoryCommands(), std::vector<std::string>{":MEM:CHECK?"});
  EXPECT_EQ(::access((folder + "/data.csv").c_str(), F_OK), -1);
}

TEST_F(MemoryDownloadTest, AFileThatCannotBeCreatedReadsNothing) {
  store(3, 0, 1, 123);
  MemoryDownload download(port, ui, texts, listener);
  MemoryDownloadRequest r = request();
  r.path = folder + "/missing-folder/data.csv";
  ASSERT_TRUE(run(download, r));
  EXPECT_EQ(listener.outcome, MemoryDownloadOutcome::FileNotOpened);
  EXPECT_EQ(listener.startedTotal, -1);
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].text, "Can not open data.csv.");
  EXPECT_EQ(memoryCommands(), std::vector<std::string>{":MEM:CHECK?"});

  // The dialog stays open: another name works with the same download object.
  ui.scriptAnswers({});
  ASSERT_TRUE(run(download, request("second")));
  EXPECT_EQ(listener.outcome, MemoryDownloadOutcome::Completed);
  EXPECT_EQ(readingLines(folder + "/second.csv"), std::vector<std::string>{"3,200,12.3,lx,"});
}

TEST_F(MemoryDownloadTest, DestroyingARunningDownloadStopsItsThreads) {
  for (int slot = 1; slot <= 99; ++slot) store(slot, 0, 1, static_cast<int16_t>(slot));
  // Slow replies keep the download going for seconds after the second reading.
  sim.addFault(sim::Fault{sim::FaultKind::LateReply, ":MEM:DATA?", 50, -1});
  {
    MemoryDownload download(port, ui, texts, listener);
    ASSERT_TRUE(download.start(request()));
    ASSERT_TRUE(ui.pumpUntil([&] { return listener.progress.size() >= 2; }));
  }
  ui.pumpFor(std::chrono::milliseconds(20));  // handlers left behind do nothing
  EXPECT_EQ(listener.endedCalls, 0);
}

// Files stop growing past this size while it lives: writes beyond it fail
// (EFBIG), as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    previousSignal_ = ::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limit = previous_;
    limit.rlim_cur = bytes;
    ok_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &previous_);
    ::signal(SIGXFSZ, previousSignal_);
  }
  bool ok() const { return ok_; }

 private:
  rlimit previous_{};
  sighandler_t previousSignal_;
  bool ok_ = false;
};

// After a write error the reader may still be inside a ":MEM:DATA?"
// reply. The download ends, and the port goes back to the monitor, only
// once the reader is off the port: nothing touches the port after the end
// (here the reader's reply never comes, and its time-out closes the port).
TEST_F(MemoryDownloadTest, AWriteErrorEndsTheDownloadOnlyWhenTheReaderIsOffThePort) {
  for (int slot = 1; slot <= 3; ++slot) store(slot, 0, 1, static_cast<int16_t>(100 + slot));
  sim.addFault(sim::Fault{sim::FaultKind::LateReply, ":MEM:DATA? 1", 300, 1});
  sim.addFault(sim::Fault{sim::FaultKind::NoReply, ":MEM:DATA? 2", -1, 1});
  const MemoryDownloadRequest r = request();
  std::string header;
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  const CalendarTime today{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, 0, 0, 0};
  for (const std::string& line : memoryCsvHeaderLines(r.meter, today, r.symbols, texts)) appendCsvLine(header, line);

  MemoryDownload download(port, ui, texts, listener);
  bool openAtTheEnd = false;
  {
    // The header fits; the first reading's line does not.
    FileSizeLimit limit(header.size() + 4);
    ASSERT_TRUE(limit.ok());
    ASSERT_TRUE(download.start(r));
    ASSERT_TRUE(ui.pumpUntil([&] { return !download.running(); }, std::chrono::minutes(2)));
    openAtTheEnd = port.isOpen();
  }
  EXPECT_EQ(listener.outcome, MemoryDownloadOutcome::WriteError);
  ui.pumpFor(std::chrono::milliseconds(2500));
  EXPECT_EQ(port.isOpen(), openAtTheEnd) << "the reader still used the port after the download had ended";
  // The reader may or may not have asked for slot 2 before the writer gave
  // up; it asks for nothing after.
  const std::vector<std::string> commands = memoryCommands();
  ASSERT_GE(commands.size(), 2u);
  EXPECT_LE(commands.size(), 3u);
  EXPECT_EQ(commands[1], ":MEM:DATA? 1");
}

// A cancel while a slow reply comes in: the reply is the reader's to the
// end, and the next command's reply is read intact.
TEST_F(MemoryDownloadTest, TheNextReplyAfterACancelIsReadIntact) {
  for (int slot = 1; slot <= 5; ++slot) store(slot, 0, 1, static_cast<int16_t>(100 + slot));
  sim.addFault(sim::Fault{sim::FaultKind::LateReply, ":MEM:DATA?", 400, -1});
  MemoryDownload download(port, ui, texts, listener);
  ASSERT_TRUE(download.start(request()));
  ASSERT_TRUE(ui.pumpUntil([&] { return listener.progress.size() >= 1; }));
  download.cancel();
  ASSERT_TRUE(ui.pumpUntil([&] { return !download.running(); }, std::chrono::minutes(2)));
  EXPECT_EQ(listener.outcome, MemoryDownloadOutcome::Cancelled);
  ASSERT_TRUE(port.isOpen());
  ASSERT_TRUE(port.writeLine(":STAT?"));
  char reply[32];
  ASSERT_EQ(port.readLine(reply, sizeof reply), LineReceived);
  const std::string status = reply;
  EXPECT_EQ(status.size(), 12u) << status;
  EXPECT_TRUE(std::all_of(status.begin(), status.end(), [](char c) { return c >= '0' && c <= '9'; })) << status;
}

// Destinations that are no regular file the user may write: refused at
// once, without waiting (a FIFO without a reader would block an ordinary
// open for ever), and the dialog stays open for another name.
struct DestinationCase {
  const char* name;
  std::function<std::string(const std::string& folder)> make;  // returns the path
};

class UnwritableDestination : public MemoryDownloadTest, public ::testing::WithParamInterface<DestinationCase> {};

TEST_P(UnwritableDestination, IsRefusedWithTheFileMessage) {
  store(3, 0, 1, 123);
  const std::string target = GetParam().make(folder);
  const int fifoReader = ::open((folder + "/reader.csv").c_str(), O_RDONLY | O_NONBLOCK);  // only for that case
  MemoryDownload download(port, ui, texts, listener);
  MemoryDownloadRequest r = request();
  r.path = target;
  ASSERT_TRUE(run(download, r));
  if (fifoReader >= 0) ::close(fifoReader);
  EXPECT_EQ(listener.outcome, MemoryDownloadOutcome::FileNotOpened);
  EXPECT_EQ(listener.startedTotal, -1);
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].text, "Can not open data.csv.");
  EXPECT_EQ(ui.messages()[0].icon, MessageIcon::Error);
  EXPECT_EQ(memoryCommands(), std::vector<std::string>{":MEM:CHECK?"});
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    EXPECT_EQ(readFile(target), "kept");
  }

  ASSERT_TRUE(run(download, request("second")));
  EXPECT_EQ(listener.outcome, MemoryDownloadOutcome::Completed);
  EXPECT_EQ(readingLines(folder + "/second.csv"), std::vector<std::string>{"3,200,12.3,lx,"});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnwritableDestination,
    ::testing::Values(
        DestinationCase{"FifoWithoutAReader",
                        [](const std::string& folder) {
                          const std::string path = folder + "/data.csv";
                          EXPECT_EQ(::mkfifo(path.c_str(), 0644), 0);
                          return path;
                        }},
        DestinationCase{"FifoWithAReader",
                        [](const std::string& folder) {
                          const std::string path = folder + "/reader.csv";
                          EXPECT_EQ(::mkfifo(path.c_str(), 0644), 0);
                          return path;
                        }},
        DestinationCase{"Device", [](const std::string&) { return std::string("/dev/null"); }},
        DestinationCase{"Directory",
                        [](const std::string& folder) {
                          const std::string path = folder + "/data.csv";
                          EXPECT_EQ(::mkdir(path.c_str(), 0755), 0);
                          return path;
                        }},
        DestinationCase{"ReadOnlyFile",
                        [](const std::string& folder) {
                          const std::string path = folder + "/data.csv";
                          std::ofstream(path) << "kept";
                          EXPECT_EQ(::chmod(path.c_str(), 0444), 0);
                          return path;
                        }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lmv
