// lumetrevisor-cli record and export against the simulated meter and real files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "cli_run.h"
#include "files/record_file.h"
#include "sim_fixture.h"

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
                      UsageCase{"CountTooLarge", {"--count", "1048577"}, 2, "1..1048576"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lmv
