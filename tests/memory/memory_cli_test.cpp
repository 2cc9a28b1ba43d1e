// lumetrevisor-cli memory against the simulated meter.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "cli_run.h"
#include "sim_fixture.h"

namespace lmv {
namespace {

using test::runCli;
using test::wholeFile;

class MemoryCli : public ::testing::Test {
 protected:
  MemoryCli() {
    char pattern[] = "/tmp/lmv-memcli-XXXXXX";
    EXPECT_NE(::mkdtemp(pattern), nullptr);
    dir = pattern;
    meter.simulator().withMeter([](sim::MeterModel& m) {
      m.clearMemory();
      m.setSlot(3, sim::MemoryRecord{0, 1, 123, 0});  // 12.3 lx
      m.setSlot(7, sim::MemoryRecord{0, 4, 123, 0});  // 12300 lx
    });
  }
  ~MemoryCli() override { std::system(("rm -rf '" + dir + "'").c_str()); }

  test::CliRun download(std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"memory", "--port", meter.path(), "--csv", "m.csv", "--lang", "en",
                                     "--settings", dir + "/none.ini"};
    args.insert(args.end(), extra.begin(), extra.end());
    return runCli(args, dir);
  }

  std::string dir;
  test::SimulatedMeter meter;
};

TEST_F(MemoryCli, WritesTheStoredReadingsAndReturnsTheMeterToLocal) {
  const auto run = download();
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("2 / 2"), std::string::npos) << run.out;
  EXPECT_NE(run.err.find("Completed reading data from LX5810/LX5811."), std::string::npos) << run.err;
  const std::string csv = wholeFile(dir + "/m.csv");
  EXPECT_TRUE(csv.starts_with("Lumetrevisor for LX5810/LX5811  Ver1.10\r\n")) << csv;
  EXPECT_TRUE(csv.ends_with("\r\nNo,Range,Measured Value,Unit,OVER\r\n3,200,12.3,lx,\r\n7,200000,12300,lx,\r\n"))
      << csv;
  const auto log = meter.simulator().commandLog();
  EXPECT_NE(std::find(log.begin(), log.end(), ":MEM:DATA? 7"), log.end());
  EXPECT_EQ(log.back(), ":SYST:GTL");

  // The file now exists: kept unless replacing is asked for.
  const auto again = download();
  EXPECT_EQ(again.exitCode, 1);
  EXPECT_NE(again.err.find("already exists"), std::string::npos) << again.err;
  EXPECT_EQ(download({"--overwrite"}).exitCode, 0);
}

TEST_F(MemoryCli, AMissingByteKeepsThePartialFile) {
  meter.simulator().addFault(sim::Fault{sim::FaultKind::MissingByte, ":MEM:DATA? 7", -1, 1});
  const auto run = download();
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_NE(run.err.find("Reading data Error."), std::string::npos) << run.err;
  EXPECT_TRUE(wholeFile(dir + "/m.csv").ends_with("OVER\r\n3,200,12.3,lx,\r\n"));
}

TEST_F(MemoryCli, EmptyMemoryAndBadNames) {
  meter.simulator().withMeter([](sim::MeterModel& m) { m.clearMemory(); });
  const auto empty = download();
  EXPECT_EQ(empty.exitCode, 3);
  EXPECT_NE(empty.err.find("Data has not been saved."), std::string::npos) << empty.err;
  EXPECT_EQ(::access((dir + "/m.csv").c_str(), F_OK), -1);

  const auto bad = runCli({"memory", "--port", meter.path(), "--csv", "a;b.csv", "--lang", "en"}, dir);
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_NE(bad.err.find("The following character(s) cannot be used in filename."), std::string::npos) << bad.err;
}

TEST_F(MemoryCli, AFifoIsRefusedWithoutWaiting) {
  // An ordinary open of a FIFO without a reader waits for ever.
  ASSERT_EQ(::mkfifo((dir + "/m.csv").c_str(), 0644), 0);
  const auto kept = download();
  EXPECT_EQ(kept.exitCode, 1);
  EXPECT_NE(kept.err.find("is kept; give --overwrite"), std::string::npos) << kept.err;

  const auto run = download({"--overwrite"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("Can not open m.csv."), std::string::npos) << run.err;
  struct stat st {};
  ASSERT_EQ(::lstat((dir + "/m.csv").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  const auto log = meter.simulator().commandLog();
  EXPECT_EQ(std::count(log.begin(), log.end(), ":MEM:CHECK?"), 1);
  EXPECT_EQ(std::find_if(log.begin(), log.end(), [](const std::string& c) { return c.starts_with(":MEM:DATA?"); }),
            log.end());
  EXPECT_EQ(log.back(), ":SYST:GTL");
}

TEST_F(MemoryCli, TheCsvIsNeverTheSettingsFile) {
  std::ofstream(dir + "/m.csv") << "settings";
  const auto run = download({"--overwrite", "--settings", dir + "/m.csv"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.err.find("is the same file as the settings file"), std::string::npos) << run.err;
  EXPECT_EQ(wholeFile(dir + "/m.csv"), "settings");
  const auto log = meter.simulator().commandLog();
  EXPECT_EQ(std::find(log.begin(), log.end(), ":MEM:CHECK?"), log.end());
}

}  // namespace
}  // namespace lmv
