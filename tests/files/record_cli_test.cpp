// lumetrevisor-cli record and export against the simulated meter and real files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "cli_run.h"
#include "files/record_file.h"
#include "sim_fixture.h"
#include "test_files.h"
#include "unprivileged.h"

namespace lmv {
namespace {

using test::runCli;
using test::wholeFile;

class RecordCli : public ::testing::Test {
 protected:
  RecordCli() {
    char pattern[] = "/tmp/lmv-cli-XXXXXX";
    EXPECT_NE(::mkdtemp(pattern), nullptr);
    dir = pattern;
  }
  ~RecordCli() override { std::system(("rm -rf '" + dir + "'").c_str()); }

  // A settings file that does not exist: the first-start values.
  std::vector<std::string> withDefaults(std::vector<std::string> args) const {
    args.push_back("--settings");
    args.push_back(dir + "/none.ini");
    args.push_back("--lang");
    args.push_back("en");
    return args;
  }

  RecordFileDecodeResult decoded(const std::string& name) const {
    const std::string bytes = wholeFile(dir + "/" + name);
    return decodeRecordFile(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  }

  std::string dir;
};

TEST_F(RecordCli, RecordsFiveSamplesASecondApartAndExportReproducesTheCsv) {
  test::SimulatedMeter meter;
  const auto run = runCli(withDefaults({"record", "--port", meter.path(), "--count", "5", "--interval", "0:0:1",
                                        "--out", "a.lxrd", "--csv", "a.csv"}),
                          dir);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("\n5\t"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("\n6\t"), std::string::npos) << run.out;

  const RecordFileDecodeResult file = decoded("a.lxrd");
  ASSERT_EQ(file.outcome, RecordFileOutcome::Read);
  const RecordArray& records = file.contents.records;
  ASSERT_EQ(records.size(), 5u);
  for (size_t i = 1; i < records.size(); ++i) {
    EXPECT_EQ(std::lround((records[i].dtTimeDays - records[i - 1].dtTimeDays) * 86400.0), 1) << i;
  }
  EXPECT_EQ(file.contents.state.recordCount, 5);
  EXPECT_EQ(file.contents.state.runCount, 5);
  EXPECT_EQ(file.contents.settings.dataCount, 5);
  EXPECT_EQ(file.contents.identity.serialNumberText, "10000123");

  // The meter went back to local operation after the recording.
  const auto log = meter.simulator().commandLog();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), ":SYST:GTL");

  const std::string csv = wholeFile(dir + "/a.csv");
  EXPECT_NE(csv.find("\r\nBuffer:,5\r\nNo,Date,Time,Range,Measured Value,Unit,OVER\r\n"), std::string::npos) << csv;
  const auto exported = runCli(withDefaults({"export", "a.lxrd", "--csv", "b.csv"}), dir);
  ASSERT_EQ(exported.exitCode, 0) << exported.err;
  EXPECT_EQ(wholeFile(dir + "/b.csv"), csv);
}

TEST_F(RecordCli, ExportOverridesTheFilesSymbolsModeAndLanguage) {
  {
    sim::MeterConfig config;
    config.source = sim::IlluminanceSource::constant(12.3);  // range 20 lx, two decimals
    test::SimulatedMeter meter(config);
    ASSERT_EQ(runCli(withDefaults({"record", "--port", meter.path(), "--count", "2", "--fast", "2", "--out",
                                   "f.lxrd"}),
                     dir)
                  .exitCode,
              0);
  }
  const auto run = runCli({"export", "f.lxrd", "--csv", "f.csv", "--relative", "--decimal", "comma", "--separator",
                           "semicolon", "--lang", "ja", "--settings", dir + "/none.ini"},
                          dir);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string csv = wholeFile(dir + "/f.csv");
  EXPECT_NE(csv.find("\r\nレコードデータ\r\n"), std::string::npos);
  EXPECT_NE(csv.find("基準時刻:;"), std::string::npos);
  EXPECT_NE(csv.find("\r\n1;;00:00:00;20;12,30;lx;\r\n"), std::string::npos) << csv;
}

TEST_F(RecordCli, ADamagedFileIsRefusedWithItsMessage) {
  std::ofstream(dir + "/foreign.lxrd") << "not a record file";
  const auto foreign = runCli(withDefaults({"export", "foreign.lxrd", "--csv", "x.csv"}), dir);
  EXPECT_EQ(foreign.exitCode, 1);
  EXPECT_NE(foreign.err.find("Incorrect file format."), std::string::npos) << foreign.err;
  EXPECT_EQ(::access((dir + "/x.csv").c_str(), F_OK), -1);

  RecordFileContents contents;
  contents.records.resize(3);
  contents.state.recordCount = 3;
  const std::vector<uint8_t> bytes = encodeRecordFile(contents);
  std::ofstream(dir + "/cut.lxrd", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size() - 10));
  const auto cut = runCli(withDefaults({"export", "cut.lxrd", "--csv", "x.csv"}), dir);
  EXPECT_EQ(cut.exitCode, 1);
  EXPECT_NE(cut.err.find("cut.lxrd"), std::string::npos) << cut.err;
  EXPECT_EQ(::access((dir + "/x.csv").c_str(), F_OK), -1);
}

struct UsageCase {
  const char* name;
  std::vector<std::string> args;
  int exitCode;
  const char* message;
};

class RecordCliUsage : public RecordCli, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(RecordCliUsage, RefusedBeforeConnecting) {
  std::vector<std::string> args = {"record", "--port", "/dev/null", "--out", "u.lxrd"};
  args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
  const auto run = runCli(withDefaults(args), dir);
  EXPECT_EQ(run.exitCode, GetParam().exitCode);
  EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
  EXPECT_EQ(::access((dir + "/u.lxrd").c_str(), F_OK), -1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordCliUsage,
    ::testing::Values(UsageCase{"CountAndTime", {"--count", "5", "--time", "0:0:9"}, 2, "one of '--count'"},
                      UsageCase{"NoStopCondition", {}, 2, "one of '--count'"},
                      UsageCase{"ZeroInterval", {"--count", "5", "--interval", "0:0:0"}, 2,
                                "Please enter more than or equal to 1 sec."},
                      UsageCase{"RecordTimeShorterThanInterval", {"--time", "0:0:5", "--interval", "0:0:10"}, 2,
                                "Please set the record time longer than the time interval."},
                      UsageCase{"BadTime", {"--time", "1:2"}, 2, "H:M:S"},
                      UsageCase{"CountTooLarge", {"--count", "1048577"}, 2, "1..1048576"},
                      UsageCase{"CsvOntoTheRecordFile", {"--count", "5", "--csv", "./u.lxrd"}, 2,
                                "--out 'u.lxrd' is the same file as --csv './u.lxrd'"},
                      UsageCase{"RecordFileOntoTheSettingsFile", {"--count", "5", "--out", "none.ini"}, 2,
                                "is the same file as the settings file"},
                      UsageCase{"CsvOntoTheSettingsFile", {"--count", "5", "--csv", "none.ini"}, 2,
                                "--csv 'none.ini' is the same file as the settings file"}),
    [](const auto& info) { return std::string(info.param.name); });

// A small record file written without the meter.
void writeRecordFile(const std::string& path, uint64_t sparseSize = 0) {
  RecordFileContents contents;
  contents.records.resize(2);
  contents.state.recordCount = 2;
  test::writeFileBytes(path, encodeRecordFile(contents));
  if (sparseSize > 0) {
    ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(sparseSize)), 0);
  }
}

struct ExportCase {
  const char* name;
  std::function<void(const std::string& dir)> setUp;  // after a.lxrd is written
  std::vector<std::string> args;                      // after "export"
  int exitCode;
  const char* message;   // in stderr
  const char* keptFile;  // must still hold what it held (nullptr: none)
};

class ExportFiles : public RecordCli, public ::testing::WithParamInterface<ExportCase> {};

TEST_P(ExportFiles, NeverClobbersAFile) {
  const ExportCase& c = GetParam();
  writeRecordFile(dir + "/a.lxrd");
  if (c.setUp) c.setUp(dir);
  const std::string kept = c.keptFile ? wholeFile(dir + "/" + c.keptFile) : "";
  std::vector<std::string> args = {"export"};
  args.insert(args.end(), c.args.begin(), c.args.end());
  const bool ownSettings = std::find(args.begin(), args.end(), "--settings") != args.end();
  const auto run = runCli(ownSettings ? args : withDefaults(args), dir);
  EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
  EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  if (c.keptFile) {
    EXPECT_EQ(wholeFile(dir + "/" + c.keptFile), kept) << c.keptFile;
  }
}

const auto writeOld = [](const std::string& name, mode_t mode = 0644) {
  return [name, mode](const std::string& dir) {
    std::ofstream(dir + "/" + name) << "old";
    ASSERT_EQ(::chmod((dir + "/" + name).c_str(), mode), 0);
  };
};

INSTANTIATE_TEST_SUITE_P(
    Cases, ExportFiles,
    ::testing::Values(
        ExportCase{"CsvIsTheRecordFile", nullptr, {"a.lxrd", "--csv", "a.lxrd"}, 2,
                   "--csv 'a.lxrd' is the same file as the record file 'a.lxrd'", "a.lxrd"},
        ExportCase{"CsvIsTheRecordFileEvenWithOverwrite", nullptr, {"a.lxrd", "--csv", "a.lxrd", "--overwrite"}, 2,
                   "is the same file as the record file", "a.lxrd"},
        ExportCase{"CsvIsALinkToTheRecordFile",
                   [](const std::string& dir) { std::filesystem::create_symlink(dir + "/a.lxrd", dir + "/l.csv"); },
                   {"a.lxrd", "--csv", "l.csv", "--overwrite"}, 2, "is the same file as the record file", "a.lxrd"},
        ExportCase{"CsvIsAHardLinkToTheRecordFile",
                   [](const std::string& dir) {
                     ASSERT_EQ(::link((dir + "/a.lxrd").c_str(), (dir + "/h.csv").c_str()), 0);
                   },
                   {"a.lxrd", "--csv", "h.csv", "--overwrite"}, 2, "is the same file as the record file", "a.lxrd"},
        ExportCase{"CsvIsTheSettingsFile", writeOld("s.ini"),
                   {"a.lxrd", "--csv", "s.ini", "--overwrite", "--settings", "s.ini", "--lang", "en"}, 2,
                   "is the same file as the settings file 's.ini'", "s.ini"},
        ExportCase{"AnExistingCsvIsKept", writeOld("b.csv"), {"a.lxrd", "--csv", "b.csv"}, 1,
                   "b.csv is kept; give --overwrite to replace it", "b.csv"},
        ExportCase{"AReadOnlyCsvIsKeptEvenWithOverwrite", writeOld("b.csv", 0444),
                   {"a.lxrd", "--csv", "b.csv", "--overwrite"}, 1, "Can not open b.csv.", "b.csv"},
        ExportCase{"AFileFarLongerThanItsRecords",
                   [](const std::string& dir) { writeRecordFile(dir + "/big.lxrd", 200 << 20); },
                   {"big.lxrd", "--csv", "x.csv"}, 1, "Incorrect file format.", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecordCli, ExportReplacesAnExistingCsvWithOverwrite) {
  writeRecordFile(dir + "/a.lxrd");
  std::ofstream(dir + "/b.csv") << "old";
  const auto run = runCli(withDefaults({"export", "a.lxrd", "--csv", "b.csv", "--overwrite"}), dir);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(wholeFile(dir + "/b.csv").starts_with("Lumetrevisor for LX5810/LX5811  Ver1.10\r\n"));
  const auto help = runCli({"export", "--help"}, dir);
  EXPECT_NE(help.out.find("--overwrite"), std::string::npos) << help.out;
}

TEST_F(RecordCli, ExportAsAnUnprivilegedUserWritesOnlyWhatTheUserMay) {
  // As root (CI) the program runs under setpriv, so that the folder's and
  // the files' permissions count.
  ASSERT_EQ(::chmod(dir.c_str(), 0755), 0);
  const auto prefix = test::unprivilegedCommandPrefix();
  const auto probe = runCli({"--help"}, dir, prefix);
  if (probe.exitCode != 0) GTEST_SKIP() << "lumetrevisor-cli cannot run as uid 65534 here: " << probe.err;
  const std::string folder = dir + "/shared";
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  writeRecordFile(folder + "/a.lxrd");
  std::ofstream(folder + "/mine.csv") << "old";
  std::ofstream(folder + "/foreign.csv") << "old";  // root's (or the test user's) when run as root
  test::giveToUnprivileged(folder, 0755);
  test::giveToUnprivileged(folder + "/mine.csv", 0644);
  test::giveToUnprivileged(folder + "/a.lxrd", 0644);
  ASSERT_EQ(::chmod((folder + "/foreign.csv").c_str(), 0644), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);  // takes no new file

  const std::vector<std::string> common = {"--settings", dir + "/none.ini", "--lang", "en", "--overwrite"};
  auto args = [&](const std::string& csv) {
    std::vector<std::string> a = {"export", folder + "/a.lxrd", "--csv", folder + "/" + csv};
    a.insert(a.end(), common.begin(), common.end());
    return a;
  };
  const auto mine = runCli(args("mine.csv"), dir, prefix);
  EXPECT_EQ(mine.exitCode, 0) << mine.err;
  EXPECT_TRUE(wholeFile(folder + "/mine.csv").starts_with("Lumetrevisor for LX5810/LX5811")) << "written in place";
  const auto fresh = runCli(args("new.csv"), dir, prefix);
  EXPECT_EQ(fresh.exitCode, 1);
  EXPECT_NE(fresh.err.find("Can not open new.csv."), std::string::npos) << fresh.err;
  if (::geteuid() == 0) {
    const auto foreign = runCli(args("foreign.csv"), dir, prefix);
    EXPECT_EQ(foreign.exitCode, 1);
    EXPECT_NE(foreign.err.find("Can not open foreign.csv."), std::string::npos) << foreign.err;
    EXPECT_EQ(wholeFile(folder + "/foreign.csv"), "old");
  }
  ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 3);
}

TEST_F(RecordCli, AReadOnlyRecordFileIsRefusedBeforeRecording) {
  std::ofstream(dir + "/u.lxrd") << "old";
  ASSERT_EQ(::chmod((dir + "/u.lxrd").c_str(), 0444), 0);
  const auto run = runCli(withDefaults({"record", "--port", "/dev/null", "--out", "u.lxrd", "--count", "5"}), dir);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("cannot write 'u.lxrd': Permission denied"), std::string::npos) << run.err;
  EXPECT_EQ(wholeFile(dir + "/u.lxrd"), "old");
}

// The record file becomes impossible to write while the recording runs;
// the records then go to a rescue file under $TMPDIR, whose name no one
// could have prepared, never through a planted link.
struct RescueCase {
  const char* name;
  const char* out;
  std::function<void(const std::string& dir)> breakOut;
};

class RecordRescue : public RecordCli, public ::testing::WithParamInterface<RescueCase> {};

TEST_P(RecordRescue, WritesAFreshFileAndNothingElse) {
  test::SimulatedMeter meter;
  const std::string tmp = dir + "/tmp";
  ASSERT_EQ(::mkdir(tmp.c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((dir + "/sub").c_str(), 0755), 0);
  std::ofstream(dir + "/victim.txt") << "victim";
  std::ofstream(dir + "/sub/out.lxrd") << "old";
  test::CliProcess cli(
      withDefaults({"record", "--port", meter.path(), "--count", "100000", "--fast", "1", "--out", GetParam().out}),
      dir, {"TMPDIR=" + tmp});
  ASSERT_TRUE(cli.waitForOutput("1\t")) << "no sample was recorded";
  // The name the rescue file once had, predictable from the process id.
  const std::string planted = tmp + "/lumetrevisor-record-" + std::to_string(cli.pid()) + ".lxrd";
  std::filesystem::create_symlink(dir + "/victim.txt", planted);
  GetParam().breakOut(dir);
  cli.signal(SIGINT);  // as the Stop button: then the files are written
  const auto run = cli.wait();

  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_EQ(wholeFile(dir + "/victim.txt"), "victim");
  EXPECT_TRUE(std::filesystem::is_symlink(planted));
  std::vector<std::string> rescued;
  for (const auto& entry : std::filesystem::directory_iterator(tmp))
    if (!entry.is_symlink()) rescued.push_back(entry.path().string());
  ASSERT_EQ(rescued.size(), 1u);
  const std::string name = std::filesystem::path(rescued[0]).filename().string();
  EXPECT_TRUE(name.starts_with("lumetrevisor-record-") && name.ends_with(".lxrd")) << name;
  EXPECT_EQ(std::filesystem::status(rescued[0]).permissions(), std::filesystem::perms(0600));
  EXPECT_NE(run.err.find("the records were written to " + rescued[0]), std::string::npos) << run.err;
  const std::string bytes = wholeFile(rescued[0]);
  const RecordFileDecodeResult file = decodeRecordFile(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  ASSERT_EQ(file.outcome, RecordFileOutcome::Read);
  EXPECT_GE(file.contents.records.size(), 1u);
  EXPECT_EQ(meter.simulator().commandLog().back(), ":SYST:GTL");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordRescue,
    ::testing::Values(RescueCase{"FolderRemoved", "sub/new.lxrd",
                                 [](const std::string& dir) { std::filesystem::remove_all(dir + "/sub"); }},
                      RescueCase{"RecordFileMadeReadOnly", "sub/out.lxrd",
                                 [](const std::string& dir) {
                                   ASSERT_EQ(::chmod((dir + "/sub/out.lxrd").c_str(), 0444), 0);
                                 }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lmv
