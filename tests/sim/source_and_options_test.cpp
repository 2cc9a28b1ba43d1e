// Illuminance sources, fault texts and the simulator's options.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "fault_plan.h"
#include "illuminance_source.h"
#include "sim_options.h"

namespace lmv::sim {
namespace {

using namespace std::chrono_literals;

TEST(IlluminanceSource, ValuesOverTime) {
  struct Case {
    const char* spec;
    double seconds;
    double lux;
  };
  const Case cases[] = {
      {"500", 0, 500},
      {"constant:12.5", 99, 12.5},
      {"ramp:0:2000:60", 0, 0},
      {"ramp:0:2000:60", 30, 1000},
      {"ramp:0:2000:60", 90, 1000},
      {"ramp:100:0:10", 5, 50},
      {"sine:500:100:10", 0, 500},
      {"sine:500:100:10", 2.5, 600},
      {"sine:500:100:10", 7.5, 400},
      {"steps:10,20,30:2", 0, 10},
      {"steps:10,20,30:2", 3, 20},
      {"steps:10,20,30:2", 7, 10},
  };
  for (const auto& c : cases) {
    std::string error;
    auto source = IlluminanceSource::parse(c.spec, &error);
    ASSERT_TRUE(source) << c.spec << ": " << error;
    EXPECT_NEAR(source->sample(c.seconds), c.lux, 1e-9) << c.spec << " at " << c.seconds;
  }
}

TEST(IlluminanceSource, StepsWithoutTimeMoveOnEveryMeasurement) {
  auto source = IlluminanceSource::parse("steps:1,2,3", nullptr);
  ASSERT_TRUE(source);
  EXPECT_EQ(source->peek(0), 1);
  EXPECT_EQ(source->sample(0), 1);
  EXPECT_EQ(source->sample(0), 2);
  EXPECT_EQ(source->sample(0), 3);
  EXPECT_EQ(source->sample(0), 1);
}

TEST(IlluminanceSource, ReadsValuesFromAFile) {
  auto path = std::filesystem::temp_directory_path() / ("lmv-source-" + std::to_string(getpid()) + ".txt");
  std::ofstream(path) << "# lux\n100\n\n  250.5\r\n# end\n1e3\n";
  auto source = IlluminanceSource::parse("file:" + path.string(), nullptr);
  ASSERT_TRUE(source);
  EXPECT_EQ(source->sample(0), 100);
  EXPECT_EQ(source->sample(0), 250.5);
  EXPECT_EQ(source->sample(0), 1000);
  auto timed = IlluminanceSource::parse("file:" + path.string() + ":0.5", nullptr);
  ASSERT_TRUE(timed);
  EXPECT_EQ(timed->sample(0.6), 250.5);

  std::ofstream(path) << "100\nbright\n";
  std::string error;
  EXPECT_FALSE(IlluminanceSource::parse("file:" + path.string(), &error));
  EXPECT_EQ(error, path.string() + ":2: not a number");
  std::filesystem::remove(path);
}

TEST(IlluminanceSource, RefusesWhatItCannotRead) {
  for (const char* spec : {"", "bright", "constant", "constant:x", "ramp:0:10", "ramp:0:10:0",
                           "sine:1:2:-3", "steps:", "steps:1,,2", "steps:1,2:-1", "file:/nonexistent/lux",
                           "500lx", "nan", "inf"}) {
    std::string error;
    EXPECT_FALSE(IlluminanceSource::parse(spec, &error)) << spec;
    EXPECT_FALSE(error.empty()) << spec;
  }
}

TEST(FaultText, ParsesKindValueCommandAndCount) {
  struct Case {
    const char* text;
    FaultKind kind;
    const char* command;
    int param;
    int count;
  };
  const Case cases[] = {
      {"noreply", FaultKind::NoReply, "", -1, -1},
      {"late=2500@:STAT?#1", FaultKind::LateReply, ":STAT?", 2500, 1},
      {"garbage@QPID", FaultKind::Garbage, "QPID", -1, -1},
      {"overlong=40@*IDN?#3", FaultKind::Overlong, "*IDN?", 40, 3},
      {"cmderr@:MEASCNTDISP?", FaultKind::CommandError, ":MEASCNTDISP?", -1, -1},
      {"missingbyte=5@:MEM:DATA?", FaultKind::MissingByte, ":MEM:DATA?", 5, -1},
      {"hangup@:SYST:RANGE", FaultKind::HangUp, ":SYST:RANGE", -1, -1},
  };
  for (const auto& c : cases) {
    std::string error;
    auto fault = parseFault(c.text, &error);
    ASSERT_TRUE(fault) << c.text << ": " << error;
    EXPECT_EQ(fault->kind, c.kind) << c.text;
    EXPECT_EQ(fault->command, c.command) << c.text;
    EXPECT_EQ(fault->param, c.param) << c.text;
    EXPECT_EQ(fault->count, c.count) << c.text;
  }
  for (const char* bad : {"", "explode", "late=soon", "noreply=3", "late@", "cmderr#0", "cmderr#x"}) {
    std::string error;
    EXPECT_FALSE(parseFault(bad, &error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

TEST(FaultText, MatchesTheWholeLineOrItsFirstWord) {
  Fault range{FaultKind::NoReply, ":SYST:RANGE"};
  EXPECT_TRUE(faultMatches(range, ":SYST:RANGE 2k"));
  EXPECT_FALSE(faultMatches(range, ":SYST:RANGE?"));
  Fault data{FaultKind::NoReply, ":MEM:DATA?"};
  EXPECT_TRUE(faultMatches(data, ":MEM:DATA? 12"));
  Fault any{FaultKind::NoReply, ""};
  EXPECT_TRUE(faultMatches(any, "QPID"));
}

TEST(FaultPlan, CountsUsesAndTakesTheFirstMatch) {
  FaultPlan plan;
  plan.add({FaultKind::CommandError, ":STAT?", -1, 2});
  plan.add({FaultKind::NoReply, "", -1, -1});
  EXPECT_EQ(plan.take(":STAT?")->kind, FaultKind::CommandError);
  EXPECT_EQ(plan.take(":STAT?")->kind, FaultKind::CommandError);
  EXPECT_EQ(plan.take(":STAT?")->kind, FaultKind::NoReply);
  EXPECT_EQ(plan.take("QPID")->kind, FaultKind::NoReply);
  plan.clear();
  EXPECT_FALSE(plan.take("QPID"));
}

TEST(FaultEffect, ChangesTheReplyAsTold) {
  const Reply line{"LX5810\r\n", 0ms, false};
  const Reply raw{std::string("\x00\x02\xD2\x04", 4), 0ms, true};
  auto apply = [](FaultKind kind, int param, const Reply& reply) {
    Fault fault{kind, "", param, -1};
    return applyFault(&fault, reply);
  };
  EXPECT_EQ(applyFault(nullptr, line).bytes, "LX5810\r\n");
  EXPECT_FALSE(apply(FaultKind::NoReply, -1, line).reply);
  EXPECT_EQ(apply(FaultKind::LateReply, -1, line).delay, 3000ms);
  EXPECT_EQ(apply(FaultKind::LateReply, 250, line).delay, 250ms);
  auto garbage = apply(FaultKind::Garbage, 5, line).bytes;
  EXPECT_EQ(garbage, std::string("\xFF\x80\x3F\xFE\x06\r\n"));
  EXPECT_EQ(apply(FaultKind::Overlong, 10, line).bytes, "LX5810####\r\n");
  EXPECT_EQ(apply(FaultKind::Overlong, 6, raw).bytes.size(), 6u);
  EXPECT_EQ(apply(FaultKind::CommandError, -1, raw).bytes, "CMD ERR\r\n");
  EXPECT_EQ(apply(FaultKind::MissingByte, -1, line).bytes, "LX5810\r");
  EXPECT_EQ(apply(FaultKind::MissingByte, 1, raw).bytes, std::string("\x00\xD2\x04", 3));
  auto hangUp = apply(FaultKind::HangUp, -1, line);
  EXPECT_TRUE(hangUp.hangUp);
  EXPECT_FALSE(hangUp.reply);
}

TEST(SimOptions, ReadsEverySetting) {
  std::string error;
  auto options = parseSimOptions({"--model", "LX5811", "--serial", "S1", "--firmware", "0.23", "--baud", "9600",
                                  "--source", "steps:1,2", "--range", "2k", "--unit", "fc", "--no-sensor",
                                  "--buzzer", "--output", "--cap-off", "--zero-time", "10", "--dark", "0.4",
                                  "--memory", "3,7,10-12", "--fault", "noreply@QPID#1", "--link", "/tmp/lx",
                                  "--verbose"},
                                 &error);
  ASSERT_TRUE(options) << error;
  const MeterConfig& m = options->meter;
  EXPECT_EQ(m.model, "LX5811");
  EXPECT_EQ(m.serialNumber, "S1");
  EXPECT_EQ(m.firmwareVersion, "0.23");
  EXPECT_EQ(m.baud, 9600);
  EXPECT_EQ(m.source.describe(), "steps:1,2");
  EXPECT_EQ(m.range, 3);
  EXPECT_TRUE(m.footCandle);
  EXPECT_FALSE(m.sensorConnected);
  EXPECT_TRUE(m.buzzer);
  EXPECT_TRUE(m.output);
  EXPECT_FALSE(m.capOn);
  EXPECT_EQ(m.zeroAdjustTime, 10ms);
  EXPECT_EQ(m.darkOffsetLux, 0.4);
  EXPECT_EQ(options->memorySlots, (std::vector<int>{3, 7, 10, 11, 12}));
  ASSERT_EQ(options->faults.size(), 1u);
  EXPECT_EQ(options->faults[0].command, "QPID");
  EXPECT_EQ(options->linkPath, "/tmp/lx");
  EXPECT_TRUE(options->verbose);
  EXPECT_FALSE(options->help);
}

TEST(SimOptions, NamesTheOptionThatIsWrong) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"--model", "LX9999"}, "--model: LX5810 or LX5811, not 'LX9999'"},
      {{"--baud", "4800"}, "--baud: 9600 or 19200, not '4800'"},
      {{"--range", "2K"}, "--range: Auto, 20, 200, 2k, 20k or 200k, not '2K'"},
      {{"--unit", "cd"}, "--unit: lx or fc, not 'cd'"},
      {{"--memory", "0-3"}, "--memory: slots 1..99 such as 1-20 or 3,7, not '0-3'"},
      {{"--memory", "5-100"}, "--memory: slots 1..99 such as 1-20 or 3,7, not '5-100'"},
      {{"--zero-time", "-1"}, "--zero-time: milliseconds, not '-1'"},
      {{"--source"}, "--source needs a value"},
      {{"--frobnicate"}, "unknown option '--frobnicate'"},
  };
  for (const auto& [args, message] : cases) {
    std::string error;
    EXPECT_FALSE(parseSimOptions(args, &error)) << message;
    EXPECT_EQ(error, message);
  }
}

}  // namespace
}  // namespace lmv::sim
